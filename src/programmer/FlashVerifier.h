#pragma once

#include "programmer/HexRecord.h"

#include <QString>

#include <functional>
#include <optional>

namespace quarvel {

class BootLoaderLink;

// A word read back that differs from the image: the byte address of its low byte, both bytes
// expected and both read. A byte of the word outside the record is expected as read.
struct FlashMismatch {
    qint64 byteAddress = 0;
    quint8 expectedLow = 0;
    quint8 expectedHigh = 0;
    quint8 readLow = 0;
    quint8 readHigh = 0;
};

// Reads back every data record and compares each of its bytes with the flash byte at its own
// address; at each word that differs the caller decides whether to go on. The loader reads whole words,
// so a record at an odd address or of odd length shares its first or last word with its neighbours:
// only the record's own byte of that word is judged.
class FlashVerifier {
public:
    enum class Outcome {
        Match,              // every byte compared equal
        NothingCompared,    // the image holds no data byte
        MismatchesAccepted, // the caller went on past every mismatch to the end
        Stopped,            // the caller stopped at a mismatch
        Failed,             // the loader did not answer; see error
    };
    struct Result {
        Outcome outcome = Outcome::Match;
        int wordsCompared = 0;
        int bytesCompared = 0;
        std::optional<FlashMismatch> firstMismatch;
        QString error;
    };

    // Told each mismatch; true to go on with the next word.
    using GoOn = std::function<bool(const FlashMismatch& mismatch)>;
    // Told the byte address of each word after it was read.
    using Progress = std::function<void(qint64 byteAddress)>;

    explicit FlashVerifier(BootLoaderLink& link) : m_link(link) {}

    Result verify(const HexRecords& records, const GoOn& goOn, const Progress& progress = {});

private:
    BootLoaderLink& m_link;
};

} // namespace quarvel
