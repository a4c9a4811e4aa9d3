#pragma once

#include "recorder/ChartScene.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace quarvel {

// Draws a chart scene with a painter alone (no widgets), for images written without a display:
// title "Battery Voltage", time axis "Time,Min" in minutes, value axis "Voltage" in 10 divisions,
// the record and its overlays from time 0 (gaps left open), the labelled limit lines, the marked
// points with their difference, a legend when there is more than one curve, and the caption.
class ChartPainter {
public:
    static void paint(QPainter& painter, const QRectF& area, const ChartScene& scene);
    // The colour of curve i: 0 is the record, 1.. the overlays in the order added.
    static QColor curveColour(int index);
    // The difference of two marks as the chart shows it: "Δt 1.5 min, ΔV -0.32 V".
    static QString markDifference(const ChartMark& first, const ChartMark& second);
};

} // namespace quarvel
