#pragma once

#include "recorder/ChartScene.h"

#include <QList>
#include <QObject>
#include <QPoint>

#include <functional>

class QGraphicsSimpleTextItem;
class QScatterSeries;

namespace quarvel {

class RecordModel;
class VoltageChartView;

// Two clicks on the chart mark two points of the record and show their time and voltage
// difference; a third click starts again, Escape clears them. A drag still zooms. From the
// keyboard, M marks the point in the middle of the view (the arrows and +/- move and zoom it).
class ChartMarks : public QObject {
    Q_OBJECT
public:
    ChartMarks(VoltageChartView* view, RecordModel& model, std::function<double()> secondsPerPoint,
               QObject* parent = nullptr);

    // The marks as points of the record: zero-based index and volts.
    const QList<QPointF>& points() const { return m_points; }
    // As minutes and volts, for an image.
    QList<ChartMark> marks() const;
    // "Δt 1.5 min, ΔV -0.32 V" once two points are marked.
    QString difference() const;
    void clear();
    // Marks the record's point nearest to a place of the view (in the view's coordinates).
    void markAt(const QPoint& place);

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void redraw();

    VoltageChartView* m_view;
    RecordModel& m_model;
    std::function<double()> m_secondsPerPoint;
    QObject* m_viewport; // compared only: events may come while the view is being destroyed
    QScatterSeries* m_series;
    QGraphicsSimpleTextItem* m_text;
    QList<QPointF> m_points;
    QPoint m_pressedAt;
    bool m_pressed = false;
};

} // namespace quarvel
