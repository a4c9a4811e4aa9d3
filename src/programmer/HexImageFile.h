#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// Intel HEX text of bytes that start at address 0: data records of 16 bytes, upper-case digits,
// CR LF line ends, then the end-of-file record. The reader of this program reads it back whole.
QByteArray intelHexText(const QByteArray& bytes);

// Writes the text to path; the file is replaced only once all of it is written. A message, empty
// on success.
QString saveIntelHex(const QString& path, const QByteArray& bytes);

} // namespace quarvel
