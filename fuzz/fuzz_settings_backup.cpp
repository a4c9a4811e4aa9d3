// Arbitrary bytes as a settings backup file: it is refused with a reason, or every setting it
// gives is a known one, given once, and at least one is given.
#include "params/SettingsBackup.h"
#include "params/ParameterTable.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList codes = quarvel::settingCodes();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const quarvel::BackupRead read = quarvel::parseBackup(bytes);
    if (!read.error.isEmpty())
        return 0;
    QSet<QString> seen;
    for (const auto& [code, value] : read.backup.values) {
        if (!codes.contains(code) || seen.contains(code))
            __builtin_trap();
        seen.insert(code);
        (void)quarvel::valueToWrite(code, value);
    }
    if (read.backup.values.isEmpty())
        __builtin_trap(); // a backup without any setting is refused
    return 0;
}
