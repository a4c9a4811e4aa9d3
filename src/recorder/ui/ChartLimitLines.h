#pragma once

#include "recorder/VoltageLimits.h"

#include <QObject>

class QChart;
class QLineSeries;
class QAbstractAxis;

namespace quarvel {

// A test profile's High, Warning and Low levels as labelled dashed lines across the chart.
class ChartLimitLines : public QObject {
    Q_OBJECT
public:
    ChartLimitLines(QChart* chart, QAbstractAxis* timeAxis, QAbstractAxis* voltageAxis, QObject* parent = nullptr);

    // The levels to draw over points 0..lastIndex of the time axis; none drawn for an empty set.
    void show(const VoltageLimits& limits, int lastIndex);
    const VoltageLimits& limits() const { return m_limits; }
    QList<QLineSeries*> lines() const;

private:
    QLineSeries* m_lines[3];
    VoltageLimits m_limits;
};

} // namespace quarvel
