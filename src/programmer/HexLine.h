#pragma once

#include "programmer/HexRecord.h"

#include <QString>

namespace quarvel {

// Fills record from one line (without its line end). True when the line begins with ":" and its
// checksum is right. A line without the colon leaves the record untouched; a wrong checksum is
// reported after every field has been set from the line.
bool parseHexLine(const QString& line, HexRecord& record);

// Value of the hexadecimal digits at 1-based position `position`, at most `length` of them. Only
// characters that exist are read; reading stops at the first non-digit; no digit reads as 0.
int hexPieceValue(const QString& line, int position, int length);

} // namespace quarvel
