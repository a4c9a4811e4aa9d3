#include "programmer/FlashPage.h"

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

} // namespace quarvel
