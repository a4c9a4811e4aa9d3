#pragma once

#include <QByteArray>
#include <QVector>

namespace quarvel {

// One line of an Intel HEX image. A line that is not a record leaves it in this initial state,
// which counts as a data record without bytes.
struct HexRecord {
    static constexpr qint16 kData = 0;
    static constexpr qint16 kExtendedSegmentAddress = 2;
    static constexpr qint16 kExtendedLinearAddress = 4;

    qint16 byteCount = 0;
    qint32 address = 0;     // the 16-bit load offset, 0..65535
    qint16 recordType = 0;
    QByteArray data;        // byteCount bytes and one extra 0, so a word can always be read whole
};

// The records of one file, in line order: element k comes from line k+1.
using HexRecords = QVector<HexRecord>;

} // namespace quarvel
