#include "programmer/HexLine.h"

namespace quarvel {

namespace {

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

int hexPieceValue(const QString& line, int position, int length)
{
    int value = 0;
    const int end = qMin(line.size(), position - 1 + length);
    for (int i = position - 1; i < end; ++i) {
        const int digit = digitValue(line[i]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

bool parseHexLine(const QString& line, HexRecord& record)
{
    if (line.isEmpty() || line[0] != QLatin1Char(':'))
        return false;
    record.byteCount = static_cast<qint16>(hexPieceValue(line, 2, 2));
    record.address = hexPieceValue(line, 4, 4);
    record.recordType = static_cast<qint16>(hexPieceValue(line, 8, 2));
    record.data = QByteArray(record.byteCount + 1, '\0');
    for (int i = 0; i < record.byteCount; ++i)
        record.data[i] = static_cast<char>(hexPieceValue(line, 10 + 2 * i, 2));
    // Every pair after the colon takes part, also characters beyond the checksum.
    // Unsigned, so a very long line wraps without changing the sum modulo 256.
    quint32 sum = 0;
    for (int j = 2; j <= line.size(); j += 2)
        sum += static_cast<quint32>(hexPieceValue(line, j, 2));
    return sum % 256 == 0;
}

} // namespace quarvel
