#include "recorder/image/ChartPainter.h"

#include "recorder/PlotSegments.h"
#include "recorder/RecordArithmetic.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace quarvel {

namespace {

const QColor kLimitColour(0xb0, 0x30, 0x30);
const QColor kWarningColour(0xc8, 0x78, 0x00);
const QColor kGridColour(0xdd, 0xdd, 0xdd);

double lastMinute(const ChartCurve& curve)
{
    return curve.values.empty() ? 0 : (curve.values.size() - 1) * static_cast<double>(curve.seconds) / 60;
}

// A step of 1, 2 or 5 times a power of ten that splits the span into at most 10 parts.
double niceStep(double span)
{
    if (!(span > 0))
        return 1;
    double step = std::pow(10.0, std::floor(std::log10(span / 10)));
    for (const double f : {1.0, 2.0, 5.0, 10.0}) {
        if (span / (step * f) <= 10)
            return step * f;
    }
    return step * 10;
}

QString number(double value)
{
    return QString::number(std::abs(value) < 1e-12 ? 0.0 : value, 'g', 4);
}

struct Frame {
    QRectF plot;
    double minutes;
    double bottom;
    double top;
    QPointF at(double minute, double volts) const
    {
        return {plot.left() + plot.width() * minute / minutes,
                plot.bottom() - plot.height() * (volts - bottom) / (top - bottom)};
    }
};

void drawCurve(QPainter& p, const Frame& f, const ChartCurve& curve, const QColor& colour)
{
    const int n = static_cast<int>(curve.values.size());
    const QList<QList<QPointF>> pieces =
        PlotSegments::build(curve.values, 0, n - 1, std::max(50, static_cast<int>(f.plot.width())));
    p.setPen(QPen(colour, 1.5));
    const double perPoint = static_cast<double>(curve.seconds) / 60;
    for (const QList<QPointF>& piece : pieces) {
        if (piece.size() == 1) {
            p.drawPoint(f.at(piece.first().x() * perPoint, piece.first().y()));
            continue;
        }
        QPainterPath path(f.at(piece.first().x() * perPoint, piece.first().y()));
        for (int i = 1; i < piece.size(); ++i)
            path.lineTo(f.at(piece[i].x() * perPoint, piece[i].y()));
        p.drawPath(path);
    }
}

void drawAxes(QPainter& p, const Frame& f)
{
    const QFontMetricsF m(p.font());
    const double vStep = (f.top - f.bottom) / 10;
    for (int i = 0; i <= 10; ++i) {
        const double v = f.bottom + i * vStep;
        const double y = f.at(0, v).y();
        p.setPen(kGridColour);
        p.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
        p.setPen(Qt::black);
        const QString text = number(v);
        p.drawText(QPointF(f.plot.left() - 4 - m.horizontalAdvance(text), y + m.ascent() / 2 - 1), text);
    }
    const double tStep = niceStep(f.minutes);
    for (int i = 0; i * tStep <= f.minutes * (1 + 1e-9); ++i) {
        const double x = f.at(i * tStep, f.bottom).x();
        p.setPen(kGridColour);
        p.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
        p.setPen(Qt::black);
        const QString text = number(i * tStep);
        p.drawText(QPointF(x - m.horizontalAdvance(text) / 2, f.plot.bottom() + 4 + m.ascent()), text);
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(f.plot);
}

void drawLimits(QPainter& p, const Frame& f, const VoltageLimits& limits)
{
    const QFontMetricsF m(p.font());
    QList<QRectF> placed;
    const struct {
        std::optional<double> level;
        const char* name;
        QColor colour;
    } lines[] = {{limits.high, "High", kLimitColour}, {limits.warning, "Warning", kWarningColour},
                 {limits.low, "Low", kLimitColour}};
    for (const auto& line : lines) {
        if (!line.level || *line.level < f.bottom || *line.level > f.top)
            continue;
        const double y = f.at(0, *line.level).y();
        p.setPen(QPen(line.colour, 1, Qt::DashLine));
        p.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
        const QString text = QStringLiteral("%1 %2 V").arg(QLatin1String(line.name), shortestText(*line.level));
        p.setPen(line.colour);
        // Above its line; below it when the line runs along the top of the plot or the label
        // would cover the one above.
        const double x = f.plot.right() - 4 - m.horizontalAdvance(text);
        double baseline = y - 3;
        const auto box = [&](double b) { return QRectF(x, b - m.ascent(), m.horizontalAdvance(text), m.height()); };
        const auto covers = [&](const QRectF& r) {
            return std::any_of(placed.cbegin(), placed.cend(), [&](const QRectF& q) { return q.intersects(r); });
        };
        if (baseline - m.ascent() < f.plot.top() || covers(box(baseline)))
            baseline = y + 2 + m.ascent();
        placed.append(box(baseline));
        p.drawText(QPointF(x, baseline), text);
    }
}

void drawMarks(QPainter& p, const Frame& f, const QList<ChartMark>& marks)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    for (const ChartMark& mark : marks)
        p.drawEllipse(f.at(mark.minutes, mark.volts), 4, 4);
    if (marks.size() < 2)
        return;
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawLine(f.at(marks[0].minutes, marks[0].volts), f.at(marks[1].minutes, marks[1].volts));
    const QFontMetricsF m(p.font());
    p.setPen(Qt::black);
    p.drawText(QPointF(f.plot.left() + 6, f.plot.top() + 4 + m.ascent()), ChartPainter::markDifference(marks[0], marks[1]));
}

void drawLegend(QPainter& p, const Frame& f, const ChartScene& scene)
{
    if (scene.overlays.isEmpty())
        return;
    const QFontMetricsF m(p.font());
    QStringList names{scene.record.name};
    for (const ChartCurve& c : scene.overlays)
        names.append(c.name);
    double widest = 0;
    for (QString& name : names) {
        name = m.elidedText(name, Qt::ElideRight, f.plot.width() / 2);
        widest = std::max(widest, m.horizontalAdvance(name));
    }
    const double line = m.height();
    // Bottom left: the limit labels stand at the right, a discharge curve ends low on the right.
    const double height = line * names.size() + 6;
    const QRectF box(f.plot.left() + 4, f.plot.bottom() - 4 - height, widest + 30, height);
    p.setPen(QPen(QColor(0x99, 0x99, 0x99)));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    for (int i = 0; i < names.size(); ++i) {
        const double y = box.top() + 3 + line * i + line / 2;
        p.setPen(QPen(ChartPainter::curveColour(i), 2));
        p.drawLine(QPointF(box.left() + 4, y), QPointF(box.left() + 20, y));
        p.setPen(Qt::black);
        p.drawText(QPointF(box.left() + 26, y + m.ascent() / 2 - 1), names[i]);
    }
}

} // namespace

QColor ChartPainter::curveColour(int index)
{
    static const QColor colours[] = {QColor(0x1f, 0x4e, 0xa8), QColor(0x2e, 0x8b, 0x3e), QColor(0x8e, 0x44, 0xad),
                                     QColor(0xd3, 0x54, 0x00), QColor(0x00, 0x8b, 0x8b), QColor(0x7f, 0x7f, 0x7f)};
    constexpr int count = sizeof colours / sizeof colours[0];
    return colours[((index % count) + count) % count];
}

QString ChartPainter::markDifference(const ChartMark& first, const ChartMark& second)
{
    return QStringLiteral("Δt %1 min, ΔV %2 V")
        .arg(QString::number(second.minutes - first.minutes, 'g', 4), QString::number(second.volts - first.volts, 'g', 3));
}

void ChartPainter::paint(QPainter& painter, const QRectF& area, const ChartScene& scene)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(area, Qt::white);
    QFont font = painter.font();
    font.setPixelSize(std::clamp(static_cast<int>(area.height() / 32), 9, 16));
    painter.setFont(font);
    const QFontMetricsF m(font);

    double minutes = lastMinute(scene.record);
    double low = INFINITY;
    double high = -INFINITY;
    const auto take = [&](double v) {
        if (!std::isnan(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    };
    QList<const ChartCurve*> curves{&scene.record};
    for (const ChartCurve& c : scene.overlays)
        curves.append(&c);
    for (const ChartCurve* c : curves) {
        minutes = std::max(minutes, lastMinute(*c));
        for (const double v : c->values)
            take(v);
    }
    for (const auto& level : {scene.limits.high, scene.limits.warning, scene.limits.low}) {
        if (level)
            take(*level);
    }
    const auto [bottom, top] = PlotSegments::voltageRange(low, high);
    const double left = m.horizontalAdvance(QStringLiteral("00.00")) + m.height() + 12;
    const QRectF plot(area.left() + left, area.top() + m.height() * 2 + 6, area.width() - left - 14,
                      area.height() - m.height() * 5.5 - 10);
    if (plot.width() < 10 || plot.height() < 10) {
        painter.restore();
        return; // too small to draw a chart in
    }
    const Frame frame{plot, minutes > 0 ? minutes : 1, bottom, top};

    QFont title = font;
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top() + 4, area.width(), m.height() * 1.5), Qt::AlignCenter,
                     QStringLiteral("Battery Voltage"));
    painter.setFont(font);
    drawAxes(painter, frame);
    painter.drawText(QRectF(plot.left(), plot.bottom() + m.height() + 6, plot.width(), m.height()), Qt::AlignCenter,
                     QStringLiteral("Time,Min"));
    painter.save();
    painter.translate(area.left() + m.height() * 0.5 + 2, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, -m.height() / 2, plot.height(), m.height()), Qt::AlignCenter,
                     QStringLiteral("Voltage"));
    painter.restore();

    painter.save();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    drawLimits(painter, frame, scene.limits);
    for (int i = curves.size() - 1; i >= 0; --i) // the record last, on top
        drawCurve(painter, frame, *curves[i], curveColour(i));
    drawMarks(painter, frame, scene.marks);
    painter.restore();
    drawLegend(painter, frame, scene);
    if (!scene.caption.isEmpty())
        painter.drawText(QPointF(plot.left(), plot.bottom() + m.height() * 2 + 8 + m.ascent()),
                         m.elidedText(scene.caption, Qt::ElideRight, plot.width()));
    painter.restore();
}

} // namespace quarvel
