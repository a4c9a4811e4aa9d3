#pragma once

#include <QString>

#include <optional>

namespace quarvel {

// Lock bits BLB01 and BLB02 (bits 2 and 3) leave the application section open to the boot loader.
inline constexpr quint8 kLoaderAccessLockBits = 0x0C;

// True when the lock value clears BLB01 or BLB02: the boot loader could then no longer write or
// read the application, and only an ISP programmer could bring the instrument back.
bool locksLoaderOut(quint8 lock);

// The question asked before fuse or lock bits are written: the current value (when known), the new
// one and the bits that change; for a lock value that locks the loader out, exactly that.
QString bitsWriteQuestion(bool fuse, std::optional<quint8> current, quint8 value);

// A write that the read-back does not show: "fuse bits 8F were written but 8E read back".
QString bitsReadBackDifference(bool fuse, quint8 written, const QString& readBack);

// What a lock value that locks the loader out does, in one sentence.
QString loaderLockoutWarning();

} // namespace quarvel
