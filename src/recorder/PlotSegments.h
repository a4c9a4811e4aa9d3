#pragma once

#include <QList>
#include <QPointF>

#include <utility>
#include <vector>

namespace quarvel {

// Turns record values (NaN: no value) into the lines a chart draws: x is the zero-based point
// index, y the value, and a run of points without values breaks the line. When there are more
// points in view than columns to draw them in, each column keeps only its lowest and highest
// value, so the line looks the same at a fraction of the points.
class PlotSegments {
public:
    // Lines for points first..last (zero-based, inclusive) drawn over `columns` columns.
    static QList<QList<QPointF>> build(const std::vector<double>& values, int first, int last, int columns);

    // A value range split into 10 equal steps of 1, 2 or 5 times a power of ten that holds
    // every value from low to high.
    static std::pair<double, double> voltageRange(double low, double high);
};

} // namespace quarvel
