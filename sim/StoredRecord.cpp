#include "sim/StoredRecord.h"

#include "sim/BatteryPack.h"
#include "sim/VirtualInstrument.h"

namespace quarvel::sim {

StoredRecord::StoredRecord(VirtualInstrument& instrument) : m_instrument(instrument)
{
    instrument.application().addLineHandler([this](const QString& command) { return handle(command); });
}

QString StoredRecord::valueText(int k) const
{
    if (m_options.notNumberEvery > 0 && (k + 1) % m_options.notNumberEvery == 0)
        return QStringLiteral("ERR");
    const double dwellSeconds = m_instrument.application().value(QStringLiteral("DRD")).toDouble();
    const double minutes = k * (dwellSeconds > 0 ? dwellSeconds : 1) / 60.0;
    return QString::number(BatteryPack::dischargeVolts(minutes, k), 'f', 2);
}

std::optional<std::vector<Chunk>> StoredRecord::handle(const QString& command)
{
    if (command != QLatin1String("RDB"))
        return std::nullopt;
    const Options options = m_options;
    auto next = std::make_shared<int>(0);
    auto emptySent = std::make_shared<bool>(false);
    m_instrument.startStream([this, options, next, emptySent]() -> std::optional<Chunk> {
        const int k = *next;
        if (k >= options.length)
            return std::nullopt;
        if (k == options.emptyLineAfter && !*emptySent) {
            *emptySent = true;
            return Chunk{QByteArrayLiteral("\r\n"), 0};
        }
        ++*next;
        const double gap = k == options.pauseAfter ? options.pauseMs : 0;
        return Chunk{valueText(k).toLatin1() + QByteArrayLiteral("\r\n"), gap};
    });
    return std::vector<Chunk>{{QByteArrayLiteral("\n"), 0}}; // ends the echo line
}

} // namespace quarvel::sim
