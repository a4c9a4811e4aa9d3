#pragma once

#include "programmer/BootLoaderCommands.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quarvel {

class SerialPort;
struct FlashPage;

// How long a counted exchange waits for its reply. The program always waits 10 seconds.
struct ProgrammerTiming {
    int replyTimeoutMs = 10000;
};

// The counted exchanges with the boot loader, straight on the port (no command framing).
class BootLoaderLink {
public:
    explicit BootLoaderLink(SerialPort& port, const ProgrammerTiming& timing = {});

    // Reads and discards everything received so far.
    void emptyReceiveBuffer();
    // Writes the letter, then each argument byte, each as its own write; waits for the counted
    // reply and returns everything received, or nothing on a time-out or a lost port.
    std::optional<QByteArray> exchange(const BootLoaderCommand& command, const QByteArray& arguments = {});

    bool erase();
    bool setWordAddress(int wordAddress);
    // The word at the current address (high byte << 8 | low byte); the loader moves on a word.
    std::optional<quint16> readWord();
    // Loads the page's 16 words and writes them at the page's address.
    bool writePage(const FlashPage& page);
    bool writeFuseBits(quint8 value);
    bool writeLockBits(quint8 value);

    // What went wrong in the last failed exchange, for the user.
    QString failureMessage() const;

private:
    bool writeBits(const BootLoaderCommand& command, quint8 value);

    SerialPort& m_port;
    ProgrammerTiming m_timing;
};

} // namespace quarvel
