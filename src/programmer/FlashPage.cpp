#include "FlashPage.h"

#include <QString>

#include <algorithm>

namespace quarvel {

bool fillPage(FlashPage& page, const HexRecords& records)
{
    page.data = QByteArray(page.byteCount, '\0');
    const qint64 pageStart = page.address;
    const qint64 pageEnd = pageStart + page.byteCount;
    bool placed = false;
    for (const HexRecord& r : records) {
        if (r.recordType != HexRecord::kData)
            continue;
        const qint64 available = std::min<qint64>(r.byteCount, r.data.size());
        const qint64 from = std::max<qint64>(r.address, pageStart);
        const qint64 to = std::min<qint64>(r.address + available, pageEnd);
        for (qint64 a = from; a < to; ++a) {
            page.data[static_cast<qsizetype>(a - pageStart)] = r.data[static_cast<qsizetype>(a - r.address)];
            placed = true;
        }
    }
    return placed;
}

int findExtendedAddressRecord(const HexRecords& records)
{
    for (int i = 0; i < records.size(); ++i) {
        const HexRecord& r = records[i];
        if (r.recordType != HexRecord::kExtendedSegmentAddress && r.recordType != HexRecord::kExtendedLinearAddress)
            continue;
        const QByteArray value = r.data.left(r.byteCount);
        if (std::any_of(value.cbegin(), value.cend(), [](char b) { return b != 0; }))
            return i;
    }
    return -1;
}

QString extendedAddressMessage(const HexRecords& records, int index)
{
    const HexRecord& r = records.at(index);
    const QString kind = r.recordType == HexRecord::kExtendedSegmentAddress ? QStringLiteral("extended segment")
                                                                             : QStringLiteral("extended linear");
    return QStringLiteral("This image cannot be used: line %1 holds an %2 address record (type 0%3) that places "
                          "data above 64 KiB, where this instrument has no flash. Nothing was sent to the "
                          "instrument.")
        .arg(index + 1)
        .arg(kind)
        .arg(r.recordType);
}

} // namespace quarvel
