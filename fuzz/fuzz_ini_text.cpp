// Any settings file: reading never fails, and a value written into it reads back.
#include "link/IniText.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)quarvel::IniText::value(text, QStringLiteral("Comm"), QStringLiteral("Port"));
    const QString port = QStringLiteral(" 3, x=y ");
    QString written = quarvel::IniText::withValue(text, QStringLiteral("Comm"), QStringLiteral("Port"), port);
    written = quarvel::IniText::withValue(written, QStringLiteral("Comm"), QStringLiteral("BaudRate"), QStringLiteral("57600"));
    if (quarvel::IniText::value(written, QStringLiteral("Comm"), QStringLiteral("Port")) != port.trimmed()
        || quarvel::IniText::value(written, QStringLiteral("Comm"), QStringLiteral("BaudRate")) != QStringLiteral("57600"))
        std::abort();
    return 0;
}
