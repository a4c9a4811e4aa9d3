#include "programmer/ProgrammerTexts.h"

#include "programmer/FlashVerifier.h"

#include <QRegularExpression>

namespace quarvel {

QString hexByte(int value)
{
    return QString::number(value & 0xFF, 16).toUpper();
}

QString mismatchText(const FlashMismatch& m)
{
    return QStringLiteral("Verify error at ") + QString::number(m.byteAddress) + QStringLiteral(" expected ")
        + hexByte(m.expectedLow) + hexByte(m.expectedHigh) + QStringLiteral(" read ") + hexByte(m.readLow)
        + hexByte(m.readHigh);
}

BitsText parseBitsText(const QString& text, const QString& what)
{
    const QString digits = text.trimmed();
    const QString nothingWritten = QStringLiteral(" Nothing was written.");
    if (digits.isEmpty())
        return {std::nullopt,
                QStringLiteral("The %1 box is empty: enter one byte as hexadecimal digits, 0 to FF (for "
                               "example 8E).")
                        .arg(what)
                    + nothingWritten};
    static const QRegularExpression prefixed(QStringLiteral("^(0[xX]|&[hH]|\\$|#)[0-9A-Fa-f]+$|^[0-9A-Fa-f]+[hH]$"));
    if (prefixed.match(digits).hasMatch())
        return {std::nullopt,
                QStringLiteral("\"%1\" has a prefix or suffix: enter the %2 as hexadecimal digits alone, 0 to "
                               "FF (for example 8E).")
                        .arg(digits, what)
                    + nothingWritten};
    static const QRegularExpression hexOnly(QStringLiteral("^[0-9A-Fa-f]+$"));
    if (!hexOnly.match(digits).hasMatch())
        return {std::nullopt,
                QStringLiteral("\"%1\" is not a hexadecimal number: enter the %2 as one byte, 0 to FF (for "
                               "example 8E).")
                        .arg(digits, what)
                    + nothingWritten};
    // Leading zeros are harmless; the value alone must fit one byte.
    QString significant = digits;
    while (significant.size() > 1 && significant.startsWith(QLatin1Char('0')))
        significant.remove(0, 1);
    const uint value = significant.size() <= 2 ? significant.toUInt(nullptr, 16) : 0x100;
    if (value > 0xFF)
        return {std::nullopt,
                QStringLiteral("\"%1\" is above FF: the %2 are one byte, 0 to FF.").arg(digits, what) + nothingWritten};
    return {static_cast<quint8>(value), QString()};
}

QString flashSavedMessage(int bytes, const QString& path)
{
    return QStringLiteral("The application (%1 bytes, without its erased end) was saved to %2.").arg(bytes).arg(path);
}

} // namespace quarvel
