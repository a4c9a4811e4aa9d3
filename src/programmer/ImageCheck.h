#pragma once

#include "HexRecord.h"

#include <QString>

namespace quarvel {

// Why an image cannot be used on this instrument, or an empty text when it can. Checked before
// anything is sent. Address records that move the data (type 02 or 04 with a non-zero value) are
// refused for programming and verifying alike; data beyond the application area only for
// programming, which could not write it (verifying compares it and reports what the flash holds).
QString imageRefusal(const HexRecords& records, bool forProgramming);

} // namespace quarvel
