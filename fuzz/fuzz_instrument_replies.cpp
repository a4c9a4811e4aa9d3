// Arbitrary bytes as the instrument's answer to a read (a report value, the identification) and
// to the stored-record request: every reading of a reply must end, within bounded memory, and
// never invent more than the reply holds.
#include "link/CommandFraming.h"
#include "link/DeviceDiscovery.h"
#include "link/SerialPort.h"
#include "recorder/BatteryHistory.h"
#include "recorder/StoredRecordReply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = quarvel::fromWire(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // The three report values, a setting and the identification, as the window and quarvel-cli read them.
    for (const char* code : {"RNV", "RLV", "RIM", "DRA", "sDM1", "sDID"}) {
        const QString c = QLatin1String(code);
        const QString line = quarvel::readLine(quarvel::kInstrumentAddress, c);
        const QString value = quarvel::valueFromReply(reply, line, c);
        if (value.size() > reply.size())
            __builtin_trap();
        const quarvel::ReadStatus status = quarvel::readStatus(reply, line);
        if (status == quarvel::ReadStatus::Unanswered && !value.isEmpty())
            __builtin_trap(); // a value from an answer that is none
        (void)quarvel::answerTo(reply, quarvel::writeLine(quarvel::kInstrumentAddress, c, value));
        (void)quarvel::BatteryHistory::valueText(value); // a report value as the history keeps it
        if (c == QLatin1String("sDID"))
            (void)value.contains(quarvel::kIdentityMark);
    }
    for (int n = 0; n < 4; ++n)
        (void)quarvel::getField(reply, n, QStringLiteral(" "));
    // The stored record: never more values than asked for.
    for (const int most : {0, 1, 300})
        if (quarvel::StoredRecordReply::values(reply, most).size() > static_cast<size_t>(most))
            __builtin_trap();
    return 0;
}
