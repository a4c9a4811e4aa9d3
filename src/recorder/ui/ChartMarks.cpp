#include "recorder/ui/ChartMarks.h"

#include "recorder/RecordModel.h"
#include "recorder/image/ChartPainter.h"
#include "recorder/ui/VoltageChartView.h"

#include <QCategoryAxis>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>

namespace quarvel {

namespace {
constexpr int kClickSlack = 3; // pixels a click may move and still be a click, not a drag
} // namespace

ChartMarks::ChartMarks(VoltageChartView* view, RecordModel& model, std::function<double()> secondsPerPoint,
                       QObject* parent)
    : QObject(parent), m_view(view), m_model(model), m_secondsPerPoint(std::move(secondsPerPoint)),
      m_viewport(view->viewport()), m_series(new QScatterSeries), m_text(new QGraphicsSimpleTextItem(view->chart()))
{
    m_series->setName(QStringLiteral("Marks"));
    m_series->setMarkerSize(9);
    m_series->setColor(Qt::transparent);
    m_series->setBorderColor(Qt::black);
    view->chart()->addSeries(m_series);
    m_series->attachAxis(view->timeAxis());
    m_series->attachAxis(view->voltageAxis());
    for (QLegendMarker* marker : view->chart()->legend()->markers(m_series))
        marker->setVisible(false);
    view->viewport()->installEventFilter(this);
    view->installEventFilter(this);
    connect(&m_model, &RecordModel::layoutChanged, this, &ChartMarks::clear);
    connect(view->chart(), &QChart::plotAreaChanged, this, &ChartMarks::redraw);
}

QList<ChartMark> ChartMarks::marks() const
{
    const double seconds = m_secondsPerPoint ? m_secondsPerPoint() : 1;
    QList<ChartMark> list;
    for (const QPointF& p : m_points)
        list.append({p.x() * seconds / 60, p.y()});
    return list;
}

QString ChartMarks::difference() const
{
    const QList<ChartMark> list = marks();
    return list.size() == 2 ? ChartPainter::markDifference(list[0], list[1]) : QString();
}

void ChartMarks::clear()
{
    if (m_points.isEmpty())
        return;
    m_points.clear();
    redraw();
}

void ChartMarks::markAt(const QPoint& place)
{
    QChart* chart = m_view->chart();
    const QPointF at = chart->mapFromScene(m_view->mapToScene(place));
    const int n = m_model.pointCount();
    // A point on the plot's edge (the first and last) can be hit from just outside it.
    if (!chart->plotArea().adjusted(-3, -3, 3, 3).contains(at) || n == 0)
        return;
    const QPointF value = chart->mapToValue(at, m_series);
    const int index = std::clamp(static_cast<int>(std::lround(value.x())), 0, n - 1);
    // The record's own value where it has one; the place clicked in a gap.
    const double volts = m_model.value(index + 1).value_or(value.y());
    if (m_points.size() == 2)
        m_points.clear();
    m_points.append(QPointF(index, volts));
    redraw();
}

void ChartMarks::redraw()
{
    if (m_series->points() != m_points)
        m_series->replace(m_points);
    m_text->setText(difference());
    const QRectF area = m_view->chart()->plotArea();
    m_text->setPos(area.left() + 6, area.top() + 4);
    emit changed();
}

bool ChartMarks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape && !m_points.isEmpty()) {
            clear();
            return true; // Escape clears the marks first, and shows the whole record only then
        }
        if (key == Qt::Key_M) { // from the keyboard: the point in the middle of the view, moved with the arrows
            const QPointF middle = m_view->chart()->mapToScene(m_view->chart()->plotArea().center());
            markAt(m_view->mapFromScene(middle));
            return true;
        }
    }
    if (watched != m_viewport)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_pressedAt = mouse->position().toPoint();
    } else if (event->type() == QEvent::MouseButtonRelease && m_pressed) {
        m_pressed = false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            (mouse->position().toPoint() - m_pressedAt).manhattanLength() <= kClickSlack)
            markAt(m_pressedAt);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quarvel
