#pragma once

#include "programmer/HexRecord.h"

#include <QString>

namespace quarvel {

struct HexLoad {
    enum class Status { Loaded, InvalidRecord, Unreadable };
    Status status = Status::Unreadable;
    HexRecords records;
    int invalidLine = 0; // 1-based line that was refused (InvalidRecord)
    QString error;       // why the file could not be read (Unreadable)
};

enum class HexLoadMode {
    StopAtInvalid, // programming: the first line that is not a valid record ends the load
    ReadAll,       // verifying: every line becomes a record, valid or not
};

// Far beyond any image for a 64 KiB address space; keeps a stray large file from filling memory.
constexpr qint64 kMaxHexFileBytes = 1024 * 1024;

// Reads an Intel HEX file into records, one per line; lines may end CR LF, LF or CR.
HexLoad loadHexRecords(const QString& fileName, HexLoadMode mode);
// The same over the file's bytes (one character per byte).
HexLoad hexRecordsFromBytes(const QByteArray& bytes, HexLoadMode mode);

} // namespace quarvel
