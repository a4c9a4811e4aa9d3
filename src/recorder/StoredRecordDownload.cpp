#include "recorder/StoredRecordDownload.h"

#include "link/CharWait.h"
#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"

namespace quarvel {

StoredRecordDownload StoredRecordDownload::fetch(SerialLink& link)
{
    if (link.bootLoaderActive())
        return {}; // "1RDB" would reach the boot loader as loader commands
    BusyScope busy(link); // no sample or other exchange starts while the record streams in
    SerialPort& port = link.port();
    port.readAll(); // the rest of an earlier reply or a late sample would shift every value
    port.write(toWire(kInstrumentAddress + QStringLiteral("RDB") + kCR));
    const QuietWait wait = charWaitQuiet(port, link);
    StoredRecordDownload download;
    download.reply = fromWire(port.readAll());
    if (wait == QuietWait::TooMuch)
        download.error = QStringLiteral("The Quarvel sent more than 1 MiB without a pause: that is not a stored "
                                        "record. Nothing was loaded.");
    else if (wait == QuietWait::TooLong)
        download.error = QStringLiteral("The Quarvel kept sending for more than 30 seconds: that is not a stored "
                                        "record. Nothing was loaded.");
    if (!download.error.isEmpty())
        download.reply.clear();
    return download;
}

} // namespace quarvel
