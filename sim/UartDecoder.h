#pragma once

#include <QByteArray>

namespace quarvel::sim {

// What a UART set to readBaud makes of bytes sent back to back at sentBaud (8 data bits, no
// parity, one stop bit, the line idle before and after): it waits for a falling edge, samples the
// start bit and each data bit at the middle of its own bit time, and delivers the byte even when
// the stop bit reads 0 (a framing error); after a low stop bit it waits for the line to go high
// again. At 9600 sent and 19200 read, "1DID\r" arrives as 06 18 60 86 98 60 66 80.
QByteArray decodeAtRate(const QByteArray& sent, int sentBaud, int readBaud);

} // namespace quarvel::sim
