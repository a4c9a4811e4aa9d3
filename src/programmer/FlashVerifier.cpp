#include "FlashVerifier.h"

#include "BootLoaderLink.h"
#include "ProgrammerTexts.h"
#include "Prompter.h"

namespace quarvel {

FlashVerifier::Result FlashVerifier::verify(const HexRecords& records)
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
        for (int j = 0; j <= r.byteCount - 1; j += 2) {
            const auto word = m_link.readWord();
            if (!word) {
                result.outcome = Outcome::Failed;
                result.error = m_link.failureMessage();
                return result;
            }
            ++result.wordsCompared;
            // An odd count compares the record's extra 0 as the last high byte.
            const auto expectedLow = static_cast<quint8>(r.data.at(j));
            const auto expectedHigh = static_cast<quint8>(r.data.at(j + 1));
            const auto readHigh = static_cast<quint8>(*word >> 8);
            const auto readLow = static_cast<quint8>(*word & 0xFF);
            if (expectedLow == readLow && expectedHigh == readHigh)
                continue;
            if (!m_prompter.askYesNo(verifyQuestion(r.address + j, expectedLow, expectedHigh, readLow, readHigh))) {
                result.outcome = Outcome::StoppedByUser;
                return result;
            }
            result.outcome = Outcome::MismatchesAccepted;
        }
    }
    return result;
}

} // namespace quarvel
