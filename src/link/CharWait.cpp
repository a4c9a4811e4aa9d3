#include "link/CharWait.h"

#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QElapsedTimer>

namespace quarvel {

bool charWaitCount(SerialPort& port, int count, int timeoutMs)
{
    QElapsedTimer clock; // monotonic: unaffected by the time of day
    clock.start();
    for (;;) {
        if (port.bytesAvailable() == count)
            return true;
        if (!port.isOpen())
            return false;
        const qint64 remaining = timeoutMs - clock.elapsed();
        if (remaining <= 0)
            return false;
        port.waitForBytes(static_cast<int>(remaining));
    }
}

QuietWait charWaitQuiet(SerialPort& port, SerialLink& link, const QuietLimits& limits)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 before = port.bytesAvailable();
        link.delay(limits.pauseMs);
        const qint64 after = port.bytesAvailable();
        if (after == before)
            return QuietWait::Quiet;
        if (after > limits.maxBytes)
            return QuietWait::TooMuch;
        if (clock.elapsed() >= limits.maxTotalMs)
            return QuietWait::TooLong;
    }
}

} // namespace quarvel
