#pragma once

#include "programmer/HexRecord.h"

#include <QString>

#include <functional>

namespace quarvel {

class BootLoaderLink;

// Writes an image page by page: every 32-byte page below the application limit that holds data,
// in address order; pages without data are skipped.
class FlashWriter {
public:
    struct Result {
        bool completed = false;
        int pagesWritten = 0;
        QString error; // why it stopped, when not completed
    };
    using Progress = std::function<void(int pageAddress)>;

    explicit FlashWriter(BootLoaderLink& link) : m_link(link) {}

    Result program(const HexRecords& records, const Progress& progress = {});

private:
    BootLoaderLink& m_link;
};

} // namespace quarvel
