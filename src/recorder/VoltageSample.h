#pragma once

#include <optional>

namespace quarvel {

class SerialLink;

// One reading of the pack voltage ("RNV"). A reading without a number (no answer, a refusal, or
// the instrument away) is a gap in the record; `away` says the port closed, so the instrument
// is gone rather than silent.
struct VoltageSample {
    std::optional<double> volts;
    bool away = false;

    static VoltageSample read(SerialLink& link);
};

} // namespace quarvel
