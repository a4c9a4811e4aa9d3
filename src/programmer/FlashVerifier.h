#pragma once

#include "HexRecord.h"

#include <QString>

namespace quarvel {

class BootLoaderLink;
class Prompter;

// Reads back every word of every data record and compares it with the image, asking the user
// whether to go on at each mismatch.
class FlashVerifier {
public:
    enum class Outcome {
        Match,              // every word compared equal
        MismatchesAccepted, // mismatches were reported and the user went on to the end
        StoppedByUser,      // the user answered No to a mismatch
        Failed,             // the loader did not answer; see error
    };
    struct Result {
        Outcome outcome = Outcome::Match;
        int wordsCompared = 0;
        QString error;
    };

    FlashVerifier(BootLoaderLink& link, Prompter& prompter) : m_link(link), m_prompter(prompter) {}

    Result verify(const HexRecords& records);

private:
    BootLoaderLink& m_link;
    Prompter& m_prompter;
};

} // namespace quarvel
