#include "programmer/HexImageFile.h"

#include <QDir>
#include <QSaveFile>

namespace quarvel {

namespace {

QByteArray record(int address, int type, const QByteArray& data)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(data.size()))
        .append(static_cast<char>(address >> 8))
        .append(static_cast<char>(address & 0xFF))
        .append(static_cast<char>(type))
        .append(data);
    int sum = 0;
    for (const char b : bytes)
        sum += static_cast<quint8>(b);
    bytes.append(static_cast<char>(-sum & 0xFF));
    return ':' + bytes.toHex().toUpper() + "\r\n";
}

} // namespace

QByteArray intelHexText(const QByteArray& bytes)
{
    constexpr int kRecordBytes = 16;
    QByteArray text;
    text.reserve((bytes.size() / kRecordBytes + 2) * 45);
    for (int a = 0; a < bytes.size(); a += kRecordBytes)
        text += record(a, 0, bytes.mid(a, kRecordBytes));
    return text + record(0, 1, {});
}

QString saveIntelHex(const QString& path, const QByteArray& bytes)
{
    const QString name = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    const QByteArray text = intelHexText(bytes);
    // Unbuffered: a write cut short (a full disk) shows in its count; buffered, it passes commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(text) != text.size() || !file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(name, file.errorString());
    return {};
}

} // namespace quarvel
