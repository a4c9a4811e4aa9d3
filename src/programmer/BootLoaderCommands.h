#pragma once

namespace quarvel {

// One command of the instrument's boot loader: a letter, then argument bytes written as raw
// characters. The loader echoes every character it receives ahead of its own reply, so a
// counted exchange waits for the echoes of everything written plus the reply.
struct BootLoaderCommand {
    char letter;
    int argumentBytes; // written after the letter
    int replyBytes;    // sent by the loader after the echoes (identification replies vary)
    int delayMs;       // timed-delay exchanges wait this long instead of counting; 0 when counted

    constexpr int awaited() const { return 1 + argumentBytes + replyBytes; }
};

namespace bootloader {

// Identification and LED: timed-delay exchanges.
inline constexpr BootLoaderCommand kProgrammerId{'S', 0, 0, 100};
inline constexpr BootLoaderCommand kSoftwareVersion{'V', 0, 0, 100};
inline constexpr BootLoaderCommand kHardwareVersion{'v', 0, 0, 100};
inline constexpr BootLoaderCommand kSignature{'s', 0, 3, 100};
inline constexpr BootLoaderCommand kReadLockBits{'r', 0, 1, 100};
inline constexpr BootLoaderCommand kReadFuseBits{'F', 0, 1, 100};
inline constexpr BootLoaderCommand kLedOn{'x', 1, 1, 200};  // the parameter byte is a space
inline constexpr BootLoaderCommand kLedOff{'y', 1, 1, 200};
inline constexpr BootLoaderCommand kLeave{'G', 0, 0, 500};  // starts the application

// Counted exchanges: each acknowledgement is one character, counted and never examined.
inline constexpr BootLoaderCommand kErase{'e', 0, 1, 0};          // the application area
inline constexpr BootLoaderCommand kSetAddress{'A', 2, 1, 0};     // word address, high byte first
inline constexpr BootLoaderCommand kLoadLowByte{'c', 1, 1, 0};    // into the page buffer
inline constexpr BootLoaderCommand kLoadHighByte{'C', 1, 1, 0};   // then the address advances a word
inline constexpr BootLoaderCommand kWritePage{'m', 0, 1, 0};      // the page buffer at the address set
inline constexpr BootLoaderCommand kReadWord{'R', 0, 2, 0};       // high byte, low byte; address advances
inline constexpr BootLoaderCommand kWriteFuseBits{'f', 2, 0, 0};  // value byte and CR; only echoes
inline constexpr BootLoaderCommand kWriteLockBits{'l', 2, 0, 0};

} // namespace bootloader

} // namespace quarvel
