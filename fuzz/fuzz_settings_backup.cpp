// Arbitrary bytes as a settings backup file: it is refused with a reason, or every setting it
// gives is a known one, given once, and a backup written from it reads back the same.
#include "cli/SettingsBackup.h"
#include "params/ParameterTable.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList codes = [] {
        QStringList all;
        for (const quarvel::FieldDefinition& f : quarvel::parameterFields())
            all.append(f.code);
        return all;
    }();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const quarvel::cli::BackupRead read = quarvel::cli::parseBackup(bytes, codes);
    if (!read.error.isEmpty())
        return 0;
    QSet<QString> seen;
    for (const auto& [code, value] : read.backup.values) {
        if (!codes.contains(code) || seen.contains(code))
            __builtin_trap();
        seen.insert(code);
        (void)quarvel::cli::valueToWrite(code, value);
    }
    if (read.backup.values.isEmpty())
        __builtin_trap(); // a backup without any setting is refused
    return 0;
}
