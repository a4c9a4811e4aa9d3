// Arbitrary text as what names a port: a typed port number, and the settings file that remembers
// the adapter where the instrument last answered (its device, and its identity: the
// /dev/serial/by-id name or the vendor:product:serial text). Reading must end within bounded
// memory whatever the file holds, and what is remembered must be read back.
#include "link/PortNumberText.h"
#include "link/PortSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // In memory where the system offers it: the settings file is synced to the disk on each write.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/quarvel-fuzz-XXXXXX")
                                                                           : QDir::tempPath() + QStringLiteral("/quarvel-fuzz-XXXXXX"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);
    if (const auto number = quarvel::portNumberFromText(text); number && (*number < 1 || *number > 32767))
        __builtin_trap();

    // The bytes as the settings file itself.
    quarvel::PortSettingsFile settings(folder.path());
    {
        QFile file(settings.path());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 0;
    }
    const quarvel::PortSettingsFile::Values read = settings.read();

    // The first two lines as a device and an identity remembered into that file.
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QString device = lines.value(0).trimmed();
    const QString identity = lines.value(1).trimmed();
    // Text as an editor writes it (UTF-8, no control characters but line ends and tabs).
    const bool plainText = text.toUtf8() == bytes && std::none_of(bytes.cbegin(), bytes.cend(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t';
    });
    if (settings.rememberDevice(device, identity) && plainText) {
        const quarvel::PortSettingsFile::Values back = settings.read();
        if (back.port != read.port || back.baudRate != read.baudRate)
            __builtin_trap(); // remembering the adapter changes no other setting
    }
    return 0;
}
