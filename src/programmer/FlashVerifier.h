#pragma once

#include "programmer/HexRecord.h"

#include <QString>

#include <functional>

namespace quarvel {

class BootLoaderLink;
class Prompter;

// Reads back every data record and compares each of its bytes with the flash byte at its own
// address, asking the user whether to go on at each word that differs. The loader reads whole words,
// so a record at an odd address or of odd length shares its first or last word with its neighbours:
// only the record's own byte of that word is judged.
class FlashVerifier {
public:
    enum class Outcome {
        Match,              // every byte compared equal
        NothingCompared,    // the image holds no data byte
        MismatchesAccepted, // mismatches were reported and the user went on to the end
        StoppedByUser,      // the user answered No to a mismatch
        Failed,             // the loader did not answer; see error
    };
    struct Result {
        Outcome outcome = Outcome::Match;
        int wordsCompared = 0;
        int bytesCompared = 0;
        QString error;
    };

    // Told the byte address of each word after it was read.
    using Progress = std::function<void(qint64 byteAddress)>;

    FlashVerifier(BootLoaderLink& link, Prompter& prompter) : m_link(link), m_prompter(prompter) {}

    Result verify(const HexRecords& records, const Progress& progress = {});

private:
    BootLoaderLink& m_link;
    Prompter& m_prompter;
};

} // namespace quarvel
