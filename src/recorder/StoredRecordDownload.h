#pragma once

#include <QString>

namespace quarvel {

class SerialLink;

// Fetches the record stored in the instrument: empties the receive buffer, writes "1RDB" CR
// straight to the port and collects everything until the line goes quiet (or passes 1 MiB, or has not gone quiet after
// 30 s: then the reply is dropped and `error` says why).
struct StoredRecordDownload {
    QString reply;
    QString error;

    static StoredRecordDownload fetch(SerialLink& link);
};

} // namespace quarvel
