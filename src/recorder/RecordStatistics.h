#pragma once

#include <optional>
#include <vector>

namespace quarvel {

// What a record's points say at a glance: the lowest, highest and mean value of the points that
// hold one (gaps left out), and the first point whose value lies below the Warning and the Low
// level (zero-based index; nothing: never, or no such level).
struct RecordStatistics {
    int count = 0; // points with a value; minimum, maximum and mean mean nothing without one
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
    std::optional<int> firstBelowWarning;
    std::optional<int> firstBelowLow;

    // values: NaN marks a gap.
    static RecordStatistics of(const std::vector<double>& values, std::optional<double> warning,
                               std::optional<double> low);
};

} // namespace quarvel
