#pragma once

#include "programmer/HexRecord.h"

#include <QString>

namespace quarvel {

// Why an image cannot be used on this instrument, or an empty text when it can. Checked before
// anything is sent. Address records that move the data (type 02 or 04 with a non-zero value) are
// refused for programming and verifying alike; data beyond the application area only for
// programming, which could not write it (verifying compares it and reports what the flash holds).
QString imageRefusal(const HexRecords& records, bool forProgramming);

// An image file read for programming (the first invalid line ends the load and refuses the file)
// or for verifying (every line read), then checked as above. `error` says why it cannot be used,
// in the words the Program tab shows; `records` holds what was read either way.
struct CheckedImage {
    HexRecords records;
    QString error;
};
CheckedImage loadCheckedImage(const QString& fileName, bool forProgramming);

} // namespace quarvel
