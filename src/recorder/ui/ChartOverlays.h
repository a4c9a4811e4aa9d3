#pragma once

#include "recorder/ChartScene.h"

#include <QList>
#include <QObject>

#include <functional>

class QChart;
class QLineSeries;
class QAbstractAxis;

namespace quarvel {

// Saved records laid over the chart for comparison, each in its own colour and aligned at its
// start with the record shown; they are drawn only and never become part of the record.
class ChartOverlays : public QObject {
    Q_OBJECT
public:
    // secondsPerPoint gives the sample interval of the record shown, which sets the time axis.
    ChartOverlays(QChart* chart, QAbstractAxis* timeAxis, QAbstractAxis* voltageAxis,
                  std::function<double()> secondsPerPoint, QObject* parent = nullptr);

    void add(const ChartCurve& curve);
    void remove(int index);
    const QList<ChartCurve>& curves() const { return m_curves; }
    // Redraws every overlay for the time axis shown, over `columns` columns.
    void refresh(double firstIndex, double lastIndex, int columns);
    // The lowest and highest value over all overlays (NaN when none).
    std::pair<double, double> valueRange() const;

signals:
    void changed();

private:
    QChart* m_chart;
    QAbstractAxis* m_timeAxis;
    QAbstractAxis* m_voltageAxis;
    std::function<double()> m_secondsPerPoint;
    QList<ChartCurve> m_curves;
    QList<QList<QLineSeries*>> m_series; // per overlay: one piece per run of values
    double m_first = 0;
    double m_last = 1;
    int m_columns = 400;
};

} // namespace quarvel
