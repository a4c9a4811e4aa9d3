#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace quarvel::test {

// Writes Intel HEX lines the way a firmware build does, so tests can describe images by content.
inline QString hexRecordLine(int address, int type, const QByteArray& data)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(data.size()));
    bytes.append(static_cast<char>((address >> 8) & 0xFF));
    bytes.append(static_cast<char>(address & 0xFF));
    bytes.append(static_cast<char>(type));
    bytes.append(data);
    int sum = 0;
    for (const char b : bytes)
        sum += static_cast<quint8>(b);
    bytes.append(static_cast<char>((0x100 - (sum & 0xFF)) & 0xFF));
    return QLatin1Char(':') + QString::fromLatin1(bytes.toHex().toUpper());
}

// Data records of `recordBytes` each for `image` placed at `start`, then the end-of-file record.
inline QStringList hexImageLines(const QByteArray& image, int start = 0, int recordBytes = 16)
{
    QStringList lines;
    for (int offset = 0; offset < image.size(); offset += recordBytes)
        lines << hexRecordLine(start + offset, 0, image.mid(offset, recordBytes));
    lines << QStringLiteral(":00000001FF");
    return lines;
}

inline bool writeTextFile(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toLatin1()) == text.size();
}

} // namespace quarvel::test
