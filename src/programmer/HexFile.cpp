#include "programmer/HexFile.h"

#include "programmer/HexLine.h"

#include <QFile>
#include <QFileInfo>

namespace quarvel {

namespace {

QString tooLargeMessage(const QString& fileName)
{
    return QStringLiteral("\"%1\" is larger than %2 KiB and cannot be an Intel HEX image for this instrument.")
        .arg(fileName)
        .arg(kMaxHexFileBytes / 1024);
}

} // namespace

HexLoad hexRecordsFromBytes(const QByteArray& bytes, HexLoadMode mode)
{
    HexLoad load;
    load.status = HexLoad::Status::Loaded;
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QString line = QString::fromLatin1(bytes.constData() + start, end - start);
        load.records.append(HexRecord{});
        const bool valid = parseHexLine(line, load.records.last());
        if (!valid && mode == HexLoadMode::StopAtInvalid) {
            load.status = HexLoad::Status::InvalidRecord;
            load.invalidLine = static_cast<int>(load.records.size());
            return load;
        }
        // CR LF is one line end; a lone CR or LF is one too.
        if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return load;
}

HexLoad loadHexRecords(const QString& fileName, HexLoadMode mode)
{
    HexLoad load;
    QFile file(fileName);
    if (QFileInfo(fileName).isDir()) {
        load.error = QStringLiteral("Cannot read \"%1\": it is a folder, not an Intel HEX file.").arg(fileName);
        return load;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        load.error = QStringLiteral("Cannot open \"%1\": %2").arg(fileName, file.errorString());
        return load;
    }
    if (file.size() > kMaxHexFileBytes) {
        load.error = tooLargeMessage(fileName);
        return load;
    }
    // One byte more than the limit tells a file that grew after its size was taken.
    const QByteArray bytes = file.read(kMaxHexFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        load.error = QStringLiteral("Cannot read \"%1\": %2").arg(fileName, file.errorString());
        return load;
    }
    if (bytes.size() > kMaxHexFileBytes) {
        load.error = tooLargeMessage(fileName);
        return load;
    }
    if (bytes.isEmpty()) {
        load.error = QStringLiteral("\"%1\" is empty: it holds no Intel HEX record.").arg(fileName);
        return load;
    }
    return hexRecordsFromBytes(bytes, mode);
}

} // namespace quarvel
