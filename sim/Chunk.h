#pragma once

#include <QByteArray>

namespace quarvel::sim {

// Bytes the instrument sends, after an idle gap (milliseconds) that follows the previous chunk.
struct Chunk {
    QByteArray bytes;
    double gapMs = 0;
};

// What ends every line the application sends.
inline const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace quarvel::sim
