#pragma once

#include <QByteArray>

#include <chrono>
#include <deque>
#include <optional>

namespace quarvel::sim {

class VirtualInstrument;

// Puts the instrument's output on a serial line in time: each byte takes 10 bit times at the
// instrument's current line rate, after the chunk's idle gap. Shared by the pty program and the
// in-process port, so both pace alike.
class SimLine {
public:
    using Clock = std::chrono::steady_clock;

    explicit SimLine(VirtualInstrument& instrument) : m_instrument(instrument) {}

    // Bytes the program sent at sentBaud (0: unknown, taken as the instrument's rate).
    void receive(const QByteArray& bytes, Clock::time_point now, int sentBaud = 0);
    // Bytes whose last bit has been sent by `now`.
    QByteArray takeDue(Clock::time_point now);
    // When the next byte will be complete; nothing when the instrument has nothing to send.
    std::optional<Clock::time_point> nextDue(Clock::time_point now);

private:
    struct Pending {
        Clock::time_point due;
        char byte;
    };
    void schedule(Clock::time_point now);

    VirtualInstrument& m_instrument;
    std::deque<Pending> m_pending;
    Clock::time_point m_lineFree{};
};

} // namespace quarvel::sim
