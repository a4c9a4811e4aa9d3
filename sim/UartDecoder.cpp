#include "sim/UartDecoder.h"

namespace quarvel::sim {

namespace {

constexpr int kFrameBits = 10; // start, eight data bits, stop

// The line during sender bit `bit` (from the first start bit on): 0 or 1; idle (1) past the end.
int levelOfBit(const QByteArray& sent, qint64 bit)
{
    const qint64 frame = bit / kFrameBits;
    const int position = static_cast<int>(bit % kFrameBits);
    if (frame >= sent.size() || position == kFrameBits - 1)
        return 1;
    if (position == 0)
        return 0;
    return (static_cast<quint8>(sent.at(frame)) >> (position - 1)) & 1;
}

} // namespace

QByteArray decodeAtRate(const QByteArray& sent, int sentBaud, int readBaud)
{
    if (sentBaud <= 0 || readBaud <= 0 || sentBaud == readBaud)
        return sent;
    // Time in units of 1 / (2 * sentBaud * readBaud) seconds keeps every edge and sample exact.
    const qint64 senderBit = 2LL * readBaud;
    const qint64 readerBit = 2LL * sentBaud;
    const qint64 endBit = qint64(sent.size()) * kFrameBits;
    const auto levelAt = [&](qint64 t) { return levelOfBit(sent, t / senderBit); };

    QByteArray out;
    qint64 bit = 0; // the sender bit from which the next falling edge is looked for
    bool needHigh = false;
    for (;;) {
        // The next falling edge: a low bit after the line was seen high.
        while (bit < endBit && (needHigh || levelOfBit(sent, bit) != 0)) {
            if (levelOfBit(sent, bit) == 1)
                needHigh = false;
            ++bit;
        }
        if (bit >= endBit)
            return out;
        const qint64 edge = bit * senderBit;
        if (levelAt(edge + readerBit / 2) != 0) { // a glitch, not a start bit
            bit = (edge + readerBit / 2) / senderBit;
            continue;
        }
        int value = 0;
        for (int i = 0; i < 8; ++i)
            value |= levelAt(edge + readerBit * (i + 1) + readerBit / 2) << i;
        out.append(static_cast<char>(value));
        const qint64 stopSample = edge + readerBit * 9 + readerBit / 2;
        needHigh = levelAt(stopSample) == 0;
        bit = stopSample / senderBit + (needHigh ? 0 : 1);
    }
}

} // namespace quarvel::sim
