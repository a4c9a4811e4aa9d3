// Arbitrary bytes as a battery history file: reading must end, within bounded memory, with no
// more rows than the file has lines, and any row read must be one a later append keeps.
#include "recorder/BatteryHistory.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const quarvel::BatteryHistory::Contents contents = quarvel::BatteryHistory::parse(bytes, QStringLiteral("fuzz.csv"));
    if (contents.rows.size() > bytes.count('\n'))
        __builtin_trap(); // the header line is no row
    if (!contents.error.isEmpty() && !contents.rows.isEmpty())
        __builtin_trap(); // a file that is not a history yields nothing
    for (const quarvel::BatteryReport& row : contents.rows) {
        for (const QString* value : {&row.noLoad, &row.loaded, &row.impedance})
            (void)quarvel::BatteryHistory::valueText(*value);
    }
    return 0;
}
