// Arbitrary bytes as a record file (and as a stored-record reply): the reader must end, within bounded memory, whatever it gets.
#include "recorder/RecordFileReader.h"
#include "recorder/StoredRecordReply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const quarvel::RecordFileLoad load = quarvel::RecordFileReader::read(bytes, QStringLiteral("1"), QStringLiteral("10"));
    if (load.settings && load.labels.size() > load.settings->points)
        __builtin_trap(); // never more points than the settings describe
    // The same bytes as an instrument's reply to the stored-record request.
    if (quarvel::StoredRecordReply::values(QString::fromLatin1(bytes), 300).size() > 300)
        __builtin_trap();
    return 0;
}
