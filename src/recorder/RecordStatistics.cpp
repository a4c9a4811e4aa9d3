#include "recorder/RecordStatistics.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

RecordStatistics RecordStatistics::of(const std::vector<double>& values, std::optional<double> warning,
                                      std::optional<double> low)
{
    RecordStatistics s;
    double sum = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        if (std::isnan(v))
            continue;
        s.minimum = s.count == 0 ? v : std::min(s.minimum, v);
        s.maximum = s.count == 0 ? v : std::max(s.maximum, v);
        sum += v;
        ++s.count;
        if (warning && !s.firstBelowWarning && v < *warning)
            s.firstBelowWarning = static_cast<int>(i);
        if (low && !s.firstBelowLow && v < *low)
            s.firstBelowLow = static_cast<int>(i);
    }
    if (s.count > 0)
        s.mean = sum / s.count;
    return s;
}

} // namespace quarvel
