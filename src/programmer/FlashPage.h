#pragma once

#include "HexRecord.h"

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

// Index of the first extended segment or linear address record (type 02 or 04) with a non-zero
// value, or -1. Such an image has data above 64 KiB, which a 16-bit offset would misplace.
int findExtendedAddressRecord(const HexRecords& records);
QString extendedAddressMessage(const HexRecords& records, int index);

} // namespace quarvel
