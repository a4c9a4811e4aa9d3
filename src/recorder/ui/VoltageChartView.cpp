#include "recorder/ui/VoltageChartView.h"

#include "recorder/PlotSegments.h"
#include "recorder/RecordArithmetic.h"
#include "recorder/RecordModel.h"
#include "recorder/TimeAxisLabels.h"

#include <QCategoryAxis>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QLineSeries>
#include <QValueAxis>

#include <cmath>

namespace quarvel {

namespace {
const QColor kLineColour(0x1f, 0x4e, 0xa8);
constexpr int kTextLine = 16;       // room below the chart for the caption and the point readout
constexpr qreal kLabelMargin = 14;  // the axis's padding on both sides of a label, and a little air
} // namespace

VoltageChartView::VoltageChartView(RecordModel& model, QWidget* parent)
    : QChartView(parent), m_model(model), m_timeAxis(new QCategoryAxis), m_voltageAxis(new QValueAxis)
{
    QChart* c = chart();
    c->setTitle(QStringLiteral("Battery Voltage"));
    c->setAnimationOptions(QChart::NoAnimation);
    c->legend()->hide();
    c->setMargins(QMargins(6, 6, 6, 6 + kTextLine));
    m_timeAxis->setTitleText(QStringLiteral("Time,Min"));
    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_timeAxis->setGridLineVisible(true);
    m_voltageAxis->setTitleText(QStringLiteral("Voltage"));
    m_voltageAxis->setTickCount(11);     // 10 major divisions
    m_voltageAxis->setMinorTickCount(0); // 1 minor division per major division
    m_voltageAxis->setLabelFormat(QStringLiteral("%.4g"));
    c->addAxis(m_timeAxis, Qt::AlignBottom);
    c->addAxis(m_voltageAxis, Qt::AlignLeft);
    // The first piece always exists: it is the voltage series; gaps add further pieces.
    m_segments.append(new QLineSeries);
    m_segments.first()->setName(QStringLiteral("Voltage"));
    c->addSeries(m_segments.first());
    m_segments.first()->attachAxis(m_timeAxis);
    m_segments.first()->attachAxis(m_voltageAxis);
    m_segments.first()->setPen(QPen(kLineColour, 1.5));

    m_caption = new QGraphicsSimpleTextItem(c);
    m_readout = new QGraphicsSimpleTextItem(c);

    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Battery Voltage chart"));
    setAccessibleDescription(QStringLiteral("Drag to zoom in, right click to zoom out, double click or Home to show the "
                                            "whole record; + and - zoom, arrow keys scroll."));

    connect(m_timeAxis, &QValueAxis::rangeChanged, this, &VoltageChartView::timeRangeChanged);
    connect(m_voltageAxis, &QValueAxis::rangeChanged, this, [this] {
        if (!m_settingRange)
            m_zoomed = true;
    });
    connect(c, &QChart::plotAreaChanged, this, [this] {
        placeTexts();
        rebuildTimeAxis(); // how many labels fit follows the plot width
        refreshLine();     // and so does the number of drawn columns
    });
    connect(&m_model, &RecordModel::layoutChanged, this, &VoltageChartView::showWholeRecord);
    connect(&m_model, &RecordModel::valuesChanged, this, [this] {
        refreshLine();
        fitVoltageRange();
    });
    connect(&m_model, &RecordModel::valueChanged, this, [this] {
        refreshLine();
        fitVoltageRange();
    });
    showWholeRecord();
}

QList<QLineSeries*> VoltageChartView::lineSegments() const
{
    QList<QLineSeries*> used;
    for (QLineSeries* s : m_segments) {
        if (s->count() > 0)
            used.append(s);
    }
    return used;
}

void VoltageChartView::setCaption(const QString& caption)
{
    m_caption->setText(caption);
    placeTexts();
}

QString VoltageChartView::caption() const
{
    return m_caption->text();
}

QString VoltageChartView::pointReadout() const
{
    return m_readout->text();
}

void VoltageChartView::setReadout(const QString& text)
{
    if (m_readout->text() == text)
        return;
    m_readout->setText(text);
    placeTexts();
}

void VoltageChartView::placeTexts()
{
    const QRectF area = chart()->plotArea();
    const qreal y = chart()->size().height() - kTextLine - 4;
    m_caption->setPos(area.left(), y);
    m_readout->setPos(area.right() - m_readout->boundingRect().width(), y);
}

void VoltageChartView::rebuildTimeAxis()
{
    // The axis gives each label an equal share of its width, whatever the label's place.
    const QFontMetricsF metrics(m_timeAxis->labelsFont());
    const qreal width = chart()->plotArea().width();
    const auto fits = [&](const QStringList& texts) {
        qreal widest = 0;
        for (const QString& text : texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        return width <= 0 || widest + kLabelMargin <= width / (texts.size() + 1);
    };
    const QList<TimeAxisLabel> labels = timeAxisLabels(
        m_model.pointCount(), m_model.labelSpacing(), static_cast<int>(std::ceil(m_timeAxis->min())),
        static_cast<int>(std::floor(m_timeAxis->max())), [this](int k) { return m_model.label(k + 1); }, fits);
    if (labels == m_timeLabels)
        return;
    m_timeLabels = labels;
    for (const QString& label : m_timeAxis->categoriesLabels())
        m_timeAxis->remove(label);
    m_timeAxis->setStartValue(labels.isEmpty() ? 0 : labels.first().index);
    for (const TimeAxisLabel& label : labels)
        m_timeAxis->append(label.text, label.index);
}

void VoltageChartView::showWholeRecord()
{
    const int n = m_model.pointCount();
    m_settingRange = true;
    if (chart()->isZoomed())
        chart()->zoomReset();
    m_timeAxis->setRange(0, std::max(1, n - 1));
    m_settingRange = false;
    m_zoomed = false;
    m_timeLabels.clear(); // the labels' texts may have changed with the same places
    rebuildTimeAxis();
    refreshLine();
    fitVoltageRange();
}

void VoltageChartView::timeRangeChanged()
{
    if (m_settingRange)
        return;
    m_zoomed = true;
    rebuildTimeAxis();
    refreshLine();
}

void VoltageChartView::refreshLine()
{
    const int first = static_cast<int>(std::floor(m_timeAxis->min())) - 1;
    const int last = static_cast<int>(std::ceil(m_timeAxis->max())) + 1;
    const int columns = std::max(50, static_cast<int>(chart()->plotArea().width()));
    const QList<QList<QPointF>> pieces = PlotSegments::build(m_model.rawValues(), first, last, columns);
    while (m_segments.size() < pieces.size()) {
        auto* s = new QLineSeries;
        chart()->addSeries(s);
        s->attachAxis(m_timeAxis);
        s->attachAxis(m_voltageAxis);
        s->setPen(m_segments.first()->pen());
        m_segments.append(s);
    }
    for (int i = 0; i < m_segments.size(); ++i) {
        QLineSeries* s = m_segments[i];
        const QList<QPointF>& points = i < pieces.size() ? pieces[i] : QList<QPointF>();
        // Replacing an unchanged piece would redraw it for nothing.
        if (s->count() != points.size() || s->points() != points)
            s->replace(points);
    }
    emit lineRefreshed(first, last, columns);
}

void VoltageChartView::includeInVoltageRange(double low, double high)
{
    m_extraLow = low;
    m_extraHigh = high;
    fitVoltageRange();
}

void VoltageChartView::fitVoltageRange()
{
    if (m_zoomed)
        return;
    double low = INFINITY;
    double high = -INFINITY;
    for (const double v : m_model.rawValues()) {
        if (std::isnan(v))
            continue;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (!std::isnan(m_extraLow) && !std::isnan(m_extraHigh)) {
        low = std::min(low, m_extraLow);
        high = std::max(high, m_extraHigh);
    }
    const auto [bottom, top] = PlotSegments::voltageRange(low, high);
    if (bottom != m_voltageAxis->min() || top != m_voltageAxis->max()) {
        m_settingRange = true;
        m_voltageAxis->setRange(bottom, top);
        m_settingRange = false;
    }
}

void VoltageChartView::mouseMoveEvent(QMouseEvent* event)
{
    QChartView::mouseMoveEvent(event);
    const QPointF scenePos = mapToScene(event->position().toPoint());
    const QPointF chartPos = chart()->mapFromScene(scenePos);
    QString text;
    if (chart()->plotArea().contains(chartPos) && m_model.pointCount() > 0) {
        const QPointF value = chart()->mapToValue(chartPos, m_segments.first());
        const int index = static_cast<int>(std::lround(value.x()));
        if (index >= 0 && index < m_model.pointCount()) {
            const auto v = m_model.value(index + 1);
            text = QStringLiteral("Time %1 min, %2").arg(m_model.label(index + 1),
                                                        v ? shortestText(*v) + QStringLiteral(" V") : QStringLiteral("no value"));
        }
    }
    setReadout(text);
}

void VoltageChartView::leaveEvent(QEvent* event)
{
    setReadout(QString());
    QChartView::leaveEvent(event);
}

void VoltageChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    showWholeRecord();
    event->accept();
}

void VoltageChartView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
        chart()->zoomIn();
        break;
    case Qt::Key_Minus:
        chart()->zoomOut();
        break;
    case Qt::Key_Left:
        chart()->scroll(-chart()->plotArea().width() / 10, 0);
        break;
    case Qt::Key_Right:
        chart()->scroll(chart()->plotArea().width() / 10, 0);
        break;
    case Qt::Key_Up:
        chart()->scroll(0, chart()->plotArea().height() / 10);
        break;
    case Qt::Key_Down:
        chart()->scroll(0, -chart()->plotArea().height() / 10);
        break;
    case Qt::Key_Home:
    case Qt::Key_Escape:
        showWholeRecord();
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void VoltageChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    placeTexts();
}

} // namespace quarvel
