#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quarvel {

// The voltage record: its points (a time label and, once sampled, a value each) and the cursor,
// the point the next sample goes to. Points are numbered from 1. A point without a value (a
// sample that got no answer, or one not yet taken) is a gap, never 0 V.
class RecordModel : public QObject {
    Q_OBJECT
public:
    explicit RecordModel(QObject* parent = nullptr);

    int pointCount() const { return static_cast<int>(m_values.size()); }
    int labelSpacing() const { return m_labelSpacing; }

    int cursor() const { return m_cursor; }
    void setCursor(int point);

    QString label(int point) const { return m_labels.at(point - 1); }
    // Labels and values for points first, first + 1, ... in one change (a loaded file).
    void setPoints(int first, const QStringList& labels, const std::vector<std::optional<double>>& values);
    std::optional<double> value(int point) const;
    void setValue(int point, std::optional<double> value);
    // Values for points first, first + 1, ... in one change.
    void setValues(int first, const std::vector<std::optional<double>>& values);
    // Every value at once; NaN marks a point without a value.
    const std::vector<double>& rawValues() const { return m_values; }

    // Sizes the record for S seconds between samples and T minutes (the caller has checked the
    // settings: 1 to 32767 points), writes every time label and leaves the cursor on point 1.
    // Values stay; points added hold none.
    void setupVoltageChart(float seconds, float minutes);
    // Every point becomes a gap (not sampled yet) and the cursor goes to point 1.
    void clearVoltageChart();

signals:
    // The point count, the labels or the label spacing changed (and maybe values).
    void layoutChanged();
    // Many values changed at once.
    void valuesChanged();
    // One value changed.
    void valueChanged(int point);

private:
    QStringList m_labels;
    std::vector<double> m_values;
    int m_cursor = 1;
    int m_labelSpacing = 1;
};

} // namespace quarvel
