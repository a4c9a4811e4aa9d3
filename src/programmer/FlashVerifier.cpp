#include "programmer/FlashVerifier.h"

#include "programmer/BootLoaderLink.h"

#include <algorithm>

namespace quarvel {

FlashVerifier::Result FlashVerifier::verify(const HexRecords& records, const GoOn& goOn, const Progress& progress)
{
    Result result;
    for (const HexRecord& r : records) {
        if (r.recordType != HexRecord::kData)
            continue;
        m_link.emptyReceiveBuffer();
        if (!m_link.setWordAddress(r.address / 2)) {
            result.outcome = Outcome::Failed;
            result.error = m_link.failureMessage();
            return result;
        }
        const qint64 first = r.address;
        const qint64 end = first + std::min<qint64>(r.byteCount, r.data.size());
        // From the word that holds the record's first byte; an empty record reads nothing.
        for (qint64 low = first - first % 2; first < end && low < end; low += 2) {
            const auto word = m_link.readWord();
            if (!word) {
                result.outcome = Outcome::Failed;
                result.error = m_link.failureMessage();
                return result;
            }
            ++result.wordsCompared;
            if (progress)
                progress(low);
            const auto readHigh = static_cast<quint8>(*word >> 8);
            const auto readLow = static_cast<quint8>(*word & 0xFF);
            // A byte of the word outside the record is not judged: it is expected as read.
            const bool lowOwn = low >= first;
            const bool highOwn = low + 1 < end;
            const quint8 expectedLow = lowOwn ? static_cast<quint8>(r.data.at(low - first)) : readLow;
            const quint8 expectedHigh = highOwn ? static_cast<quint8>(r.data.at(low + 1 - first)) : readHigh;
            result.bytesCompared += int(lowOwn) + int(highOwn);
            if (expectedLow == readLow && expectedHigh == readHigh)
                continue;
            const FlashMismatch mismatch{low, expectedLow, expectedHigh, readLow, readHigh};
            if (!result.firstMismatch)
                result.firstMismatch = mismatch;
            if (!goOn(mismatch)) {
                result.outcome = Outcome::Stopped;
                return result;
            }
            result.outcome = Outcome::MismatchesAccepted;
        }
    }
    if (result.bytesCompared == 0)
        result.outcome = Outcome::NothingCompared;
    return result;
}

} // namespace quarvel
