#pragma once

#include "programmer/HexRecord.h"

#include <QByteArray>

namespace quarvel {

// The application lives in the lowest 7680 bytes of flash; the boot loader above it is never
// written. Flash is written in pages of 32 bytes (16 words).
constexpr int kFlashPageBytes = 32;
constexpr int kApplicationBytes = 7680;
constexpr int kLastApplicationByte = kApplicationBytes - 1;

struct FlashPage {
    qint16 byteCount = kFlashPageBytes;
    qint32 address = 0; // byte address of the first byte, a multiple of the page size
    QByteArray data;
};

// Fills page.data from the data records: bytes no record covers are 0; where records overlap the
// later one wins; a record that runs past the end of a page has its remaining bytes placed in the
// following pages. True when at least one byte was placed.
bool fillPage(FlashPage& page, const HexRecords& records);

} // namespace quarvel
