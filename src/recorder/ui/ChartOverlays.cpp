#include "recorder/ui/ChartOverlays.h"

#include "recorder/PlotSegments.h"
#include "recorder/image/ChartPainter.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>

#include <cmath>

namespace quarvel {

ChartOverlays::ChartOverlays(QChart* chart, QAbstractAxis* timeAxis, QAbstractAxis* voltageAxis,
                             std::function<double()> secondsPerPoint, QObject* parent)
    : QObject(parent), m_chart(chart), m_timeAxis(timeAxis), m_voltageAxis(voltageAxis),
      m_secondsPerPoint(std::move(secondsPerPoint))
{
}

void ChartOverlays::add(const ChartCurve& curve)
{
    m_curves.append(curve);
    m_series.append(QList<QLineSeries*>());
    refresh(m_first, m_last, m_columns);
    emit changed();
}

void ChartOverlays::remove(int index)
{
    if (index < 0 || index >= m_curves.size())
        return;
    for (QLineSeries* s : m_series[index]) {
        m_chart->removeSeries(s);
        delete s;
    }
    m_curves.removeAt(index);
    m_series.removeAt(index);
    refresh(m_first, m_last, m_columns); // the colours follow the order
    emit changed();
}

void ChartOverlays::refresh(double firstIndex, double lastIndex, int columns)
{
    m_first = firstIndex;
    m_last = lastIndex;
    m_columns = columns;
    const double recordSeconds = m_secondsPerPoint ? m_secondsPerPoint() : 1;
    for (int c = 0; c < m_curves.size(); ++c) {
        const ChartCurve& curve = m_curves[c];
        // Overlay point j lies at j * S_overlay seconds: index j * S_overlay / S_record on the axis.
        const double scale = recordSeconds > 0 ? curve.seconds / recordSeconds : 1;
        const int first = static_cast<int>(std::floor(firstIndex / scale)) - 1;
        const int last = static_cast<int>(std::ceil(lastIndex / scale)) + 1;
        QList<QList<QPointF>> pieces = PlotSegments::build(curve.values, first, last, columns);
        QList<QLineSeries*>& series = m_series[c];
        while (series.size() < pieces.size()) {
            auto* s = new QLineSeries;
            s->setName(curve.name);
            m_chart->addSeries(s);
            s->attachAxis(m_timeAxis);
            s->attachAxis(m_voltageAxis);
            series.append(s);
        }
        for (int i = 0; i < series.size(); ++i) {
            QList<QPointF> points = i < pieces.size() ? pieces[i] : QList<QPointF>();
            for (QPointF& p : points)
                p.setX(p.x() * scale);
            series[i]->setPen(QPen(ChartPainter::curveColour(c + 1), 1.5));
            if (series[i]->points() != points)
                series[i]->replace(points);
            // One legend entry per overlay: its first piece.
            for (QLegendMarker* marker : m_chart->legend()->markers(series[i]))
                marker->setVisible(i == 0);
        }
    }
}

std::pair<double, double> ChartOverlays::valueRange() const
{
    double low = NAN;
    double high = NAN;
    for (const ChartCurve& curve : m_curves) {
        for (const double v : curve.values) {
            if (std::isnan(v))
                continue;
            low = std::isnan(low) ? v : std::min(low, v);
            high = std::isnan(high) ? v : std::max(high, v);
        }
    }
    return {low, high};
}

} // namespace quarvel
