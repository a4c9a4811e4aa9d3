#pragma once

#include "sim/Chunk.h"

#include <QString>

#include <optional>
#include <vector>

namespace quarvel::sim {

class VirtualInstrument;

// The voltage record the instrument keeps: "1RDB" CR is answered with the echo line, then one
// value per CR LF line in a steady stream, taken from the pack's discharge at the record dwell
// time ("DRD") between samples.
class StoredRecord {
public:
    struct Options {
        int length = 300;          // values in the record
        int emptyLineAfter = -1;   // an empty line after this many values (then the rest)
        int pauseAfter = -1;       // a pause of pauseMs after this many values
        double pauseMs = 250;
        int notNumberEvery = 0;    // every n-th value is "ERR" (0: never)
    };

    Options& options() { return m_options; }
    // The text of value k (from 0) as the instrument sends it.
    QString valueText(int k) const;

    // Makes the instrument answer "1RDB"; lives as long as the instrument does.
    explicit StoredRecord(VirtualInstrument& instrument);

private:
    std::optional<std::vector<Chunk>> handle(const QString& command);

    VirtualInstrument& m_instrument;
    Options m_options;
};

} // namespace quarvel::sim
