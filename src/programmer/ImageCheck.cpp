#include "programmer/ImageCheck.h"

#include "programmer/FlashPage.h"
#include "programmer/HexFile.h"
#include "programmer/ProgrammerTexts.h"

#include <algorithm>

namespace quarvel {

namespace {

// The records place data at their 16-bit offsets only; a base address would move it.
QString addressRecordRefusal(const HexRecords& records)
{
    for (int i = 0; i < records.size(); ++i) {
        const HexRecord& r = records[i];
        const bool segment = r.recordType == HexRecord::kExtendedSegmentAddress;
        if (!segment && r.recordType != HexRecord::kExtendedLinearAddress)
            continue;
        const QByteArray value = r.data.left(r.byteCount);
        if (std::all_of(value.cbegin(), value.cend(), [](char b) { return b == 0; }))
            continue;
        // A segment value is in 16-byte units: below 1000 (hex) it stays inside 64 KiB.
        const qint64 segmentBase =
            value.size() == 2 ? 16 * (static_cast<quint8>(value.at(0)) << 8 | static_cast<quint8>(value.at(1))) : -1;
        if (segment && segmentBase >= 0 && segmentBase < 0x10000)
            return QStringLiteral("This image cannot be used: line %1 holds an extended segment address record "
                                  "(type 02) that moves the data after it up by %2 bytes; this program places data "
                                  "at its 16-bit address only. Nothing was sent to the instrument.")
                .arg(i + 1)
                .arg(segmentBase);
        return QStringLiteral("This image cannot be used: line %1 holds an %2 address record (type 0%3) that "
                              "places data above 64 KiB, where this instrument has no flash. Nothing was sent to "
                              "the instrument.")
            .arg(i + 1)
            .arg(segment ? QStringLiteral("extended segment") : QStringLiteral("extended linear"))
            .arg(r.recordType);
    }
    return {};
}

QString applicationAreaRefusal(const HexRecords& records)
{
    int line = 0;
    qint64 first = 0;
    for (int i = 0; i < records.size(); ++i) {
        const HexRecord& r = records[i];
        const qint64 end = r.address + std::min<qint64>(r.byteCount, r.data.size());
        if (r.recordType != HexRecord::kData || end <= kApplicationBytes)
            continue;
        const qint64 beyond = std::max<qint64>(r.address, kApplicationBytes);
        if (line == 0 || beyond < first) {
            line = i + 1;
            first = beyond;
        }
    }
    if (line == 0)
        return {};
    return QStringLiteral("This image cannot be programmed: line %1 holds data at address %2, beyond the "
                          "application area (0 to %3). Nothing was sent to the instrument.")
        .arg(line)
        .arg(first)
        .arg(kLastApplicationByte);
}

} // namespace

QString imageRefusal(const HexRecords& records, bool forProgramming)
{
    const QString moved = addressRecordRefusal(records);
    if (!moved.isEmpty() || !forProgramming)
        return moved;
    return applicationAreaRefusal(records);
}

CheckedImage loadCheckedImage(const QString& fileName, bool forProgramming)
{
    HexLoad load = loadHexRecords(fileName, forProgramming ? HexLoadMode::StopAtInvalid : HexLoadMode::ReadAll);
    CheckedImage image;
    image.records = std::move(load.records);
    if (load.status == HexLoad::Status::Unreadable)
        image.error = load.error;
    else if (load.status == HexLoad::Status::InvalidRecord)
        image.error = kInvalidHexRecordMessage;
    else
        image.error = imageRefusal(image.records, forProgramming);
    return image;
}

} // namespace quarvel
