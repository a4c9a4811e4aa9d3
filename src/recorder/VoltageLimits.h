#pragma once

#include <QString>

#include <optional>

namespace quarvel {

// A test profile's High, Warning and Low voltage as the chart draws them; a level whose text is
// not a number is left out.
struct VoltageLimits {
    std::optional<double> high;
    std::optional<double> warning;
    std::optional<double> low;

    bool any() const { return high || warning || low; }
    static VoltageLimits fromTexts(const QString& high, const QString& warning, const QString& low);
    // "HIGH,WARN,LOW", three numbers (C locale); nothing when the text is not that.
    static std::optional<VoltageLimits> parse(const QString& text);
};

} // namespace quarvel
