#pragma once

#include <QString>

namespace quarvel {

class SerialLink;
class SerialPort;

inline const QString kProgrammerTimeoutMessage =
    QStringLiteral("Error, timeout waiting for response from programmer!");

// Counted wait: returns true as soon as exactly `count` received bytes are waiting; false when
// that has not happened within timeoutMs (or at once when the port is closed). Runs no window
// events; blocks on the port instead of spinning. Reads nothing from the port.
[[nodiscard]] bool charWaitCount(SerialPort& port, int count, int timeoutMs = 10000);

enum class QuietWait { Quiet, TooLong, TooMuch };

struct QuietLimits {
    int pauseMs = 100;               // the line is quiet once no byte arrived for this long
    int maxTotalMs = 30000;          // a line that never goes quiet ends the wait
    qint64 maxBytes = 1024 * 1024;   // so does one that sends more than this
};

// Quiet-line wait: returns when the count of waiting bytes stayed the same across a pause.
// Window painting and timers go on (through SerialLink::delay).
QuietWait charWaitQuiet(SerialPort& port, SerialLink& link, const QuietLimits& limits = {});

} // namespace quarvel
