#include "recorder/ui/ChartLimitLines.h"

#include "recorder/RecordArithmetic.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>

namespace quarvel {

namespace {
const char* const kNames[] = {"High", "Warning", "Low"};
const QColor kColours[] = {QColor(0xb0, 0x30, 0x30), QColor(0xc8, 0x78, 0x00), QColor(0xb0, 0x30, 0x30)};
} // namespace

ChartLimitLines::ChartLimitLines(QChart* chart, QAbstractAxis* timeAxis, QAbstractAxis* voltageAxis, QObject* parent)
    : QObject(parent)
{
    for (int i = 0; i < 3; ++i) {
        auto* line = new QLineSeries;
        line->setName(QLatin1String(kNames[i]));
        line->setPen(QPen(kColours[i], 1, Qt::DashLine));
        line->setPointLabelsColor(kColours[i]);
        line->setPointLabelsClipping(false);
        chart->addSeries(line);
        line->attachAxis(timeAxis);
        line->attachAxis(voltageAxis);
        for (QLegendMarker* marker : chart->legend()->markers(line))
            marker->setVisible(false);
        m_lines[i] = line;
    }
}

QList<QLineSeries*> ChartLimitLines::lines() const
{
    QList<QLineSeries*> shown;
    for (QLineSeries* line : m_lines) {
        if (line->count() > 0)
            shown.append(line);
    }
    return shown;
}

void ChartLimitLines::show(const VoltageLimits& limits, int lastIndex)
{
    m_limits = limits;
    const std::optional<double> levels[] = {limits.high, limits.warning, limits.low};
    for (int i = 0; i < 3; ++i) {
        QLineSeries* line = m_lines[i];
        if (!levels[i]) {
            line->clear();
            continue;
        }
        const double y = *levels[i];
        const double end = std::max(1, lastIndex);
        // The level's name and value over the line near its right end, where a label centred on
        // its point still fits inside the chart.
        line->replace({QPointF(0, y), QPointF(end * 0.88, y), QPointF(end, y)});
        line->setPointLabelsFormat(QStringLiteral("%1 %2 V").arg(QLatin1String(kNames[i]), shortestText(y)));
        line->setPointLabelsVisible(true);
        for (int p = 0; p < 3; ++p)
            line->setPointConfiguration(p, QXYSeries::PointConfiguration::LabelVisibility, p == 1);
    }
}

} // namespace quarvel
