#include "recorder/RecordModel.h"

#include "recorder/RecordArithmetic.h"

#include <cmath>
#include <limits>

namespace quarvel {

namespace {
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

double stored(std::optional<double> value)
{
    return value && std::isfinite(*value) ? *value : kNoValue;
}
} // namespace

RecordModel::RecordModel(QObject* parent) : QObject(parent) {}

void RecordModel::setCursor(int point)
{
    m_cursor = qBound(1, point, qMax(1, pointCount()));
}

void RecordModel::setPoints(int first, const QStringList& labels, const std::vector<std::optional<double>>& values)
{
    for (int i = 0; i < labels.size(); ++i)
        m_labels[first - 1 + i] = labels[i];
    for (size_t i = 0; i < values.size(); ++i)
        m_values.at(static_cast<size_t>(first - 1) + i) = stored(values[i]);
    emit layoutChanged();
}

std::optional<double> RecordModel::value(int point) const
{
    const double v = m_values.at(static_cast<size_t>(point - 1));
    if (std::isnan(v))
        return std::nullopt;
    return v;
}

void RecordModel::setValue(int point, std::optional<double> value)
{
    m_values.at(static_cast<size_t>(point - 1)) = stored(value);
    emit valueChanged(point);
}

void RecordModel::setValues(int first, const std::vector<std::optional<double>>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        m_values.at(static_cast<size_t>(first - 1) + i) = stored(values[i]);
    emit valuesChanged();
}

void RecordModel::setupVoltageChart(float seconds, float minutes)
{
    const double count = pointCountFor(seconds, minutes);
    const int n = count >= 1 && count <= kMaxRecordPoints ? static_cast<int>(count) : 0;
    m_values.resize(static_cast<size_t>(n), kNoValue);
    QStringList labels;
    labels.reserve(n);
    for (int k = 0; k < n; ++k)
        labels.append(timeLabel(k, seconds));
    m_labels = std::move(labels);
    m_cursor = 1;
    m_labelSpacing = quarvel::labelSpacing(n);
    emit layoutChanged();
}

void RecordModel::clearVoltageChart()
{
    std::fill(m_values.begin(), m_values.end(), kNoValue);
    m_cursor = 1;
    emit valuesChanged();
}

} // namespace quarvel
