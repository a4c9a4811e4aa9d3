#include "sim/SimLine.h"

#include "sim/VirtualInstrument.h"

#include <algorithm>

namespace quarvel::sim {

namespace {
// Output is pulled from the instrument only this far ahead, so an endless stream stays finite.
constexpr auto kLookAhead = std::chrono::milliseconds(20);
} // namespace

void SimLine::receive(const QByteArray& bytes, Clock::time_point now, int sentBaud)
{
    m_instrument.receive(bytes, sentBaud);
    schedule(now);
}

void SimLine::schedule(Clock::time_point now)
{
    if (m_pending.empty())
        m_lineFree = std::max(m_lineFree, now);
    while (m_instrument.hasOutput() && m_lineFree <= now + kLookAhead) {
        const int baud = m_instrument.lineRate();
        const Chunk chunk = m_instrument.takeOutput();
        const auto byteTime = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / baud));
        auto at = std::max(m_lineFree, now)
            + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(chunk.gapMs));
        for (const char byte : chunk.bytes) {
            at += byteTime;
            m_pending.push_back({at, byte});
        }
        m_lineFree = at;
    }
}

QByteArray SimLine::takeDue(Clock::time_point now)
{
    schedule(now);
    QByteArray out;
    while (!m_pending.empty() && m_pending.front().due <= now) {
        out.append(m_pending.front().byte);
        m_pending.pop_front();
    }
    schedule(now);
    return out;
}

std::optional<SimLine::Clock::time_point> SimLine::nextDue(Clock::time_point now)
{
    schedule(now);
    if (m_pending.empty())
        return std::nullopt;
    return m_pending.front().due;
}

} // namespace quarvel::sim
