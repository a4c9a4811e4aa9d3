#include "recorder/PlotSegments.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

QList<QList<QPointF>> PlotSegments::build(const std::vector<double>& values, int first, int last, int columns)
{
    QList<QList<QPointF>> segments;
    const int count = static_cast<int>(values.size());
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (first > last)
        return segments;
    const int span = last - first + 1;
    // Up to two drawn points per column; below that every point is drawn as it is.
    const int bucket = columns > 0 && span > 2 * columns ? (span + columns - 1) / columns : 1;
    QList<QPointF> current;
    const auto breakLine = [&] {
        if (!current.isEmpty())
            segments.append(std::move(current));
        current = {};
    };
    for (int start = first; start <= last; start += bucket) {
        const int stop = std::min(start + bucket - 1, last);
        int lowAt = -1;
        int highAt = -1;
        for (int i = start; i <= stop; ++i) {
            const double v = values[static_cast<size_t>(i)];
            if (std::isnan(v))
                continue;
            if (lowAt < 0 || v < values[static_cast<size_t>(lowAt)])
                lowAt = i;
            if (highAt < 0 || v > values[static_cast<size_t>(highAt)])
                highAt = i;
        }
        if (lowAt < 0) {
            breakLine();
            continue;
        }
        const int a = std::min(lowAt, highAt);
        const int b = std::max(lowAt, highAt);
        current.append(QPointF(a, values[static_cast<size_t>(a)]));
        if (b != a)
            current.append(QPointF(b, values[static_cast<size_t>(b)]));
    }
    breakLine();
    return segments;
}

std::pair<double, double> PlotSegments::voltageRange(double low, double high)
{
    if (!std::isfinite(low) || !std::isfinite(high) || low > high)
        return {0, 10};
    if (high - low < 1e-9) {
        low -= 0.5;
        high += 0.5;
    }
    const double rough = (high - low) / 10;
    double step = std::pow(10.0, std::floor(std::log10(rough)));
    for (int guard = 0; guard < 64; ++guard) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double s = step * factor;
            const double bottom = std::floor(low / s) * s;
            if (bottom + 10 * s >= high)
                return {bottom, bottom + 10 * s};
        }
        step *= 10;
    }
    return {low, high};
}

} // namespace quarvel
