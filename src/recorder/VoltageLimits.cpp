#include "recorder/VoltageLimits.h"

#include "recorder/RecordArithmetic.h"

#include <QStringList>

namespace quarvel {

VoltageLimits VoltageLimits::fromTexts(const QString& high, const QString& warning, const QString& low)
{
    return {numberOf(high), numberOf(warning), numberOf(low)};
}

std::optional<VoltageLimits> VoltageLimits::parse(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    const VoltageLimits limits = fromTexts(parts[0], parts[1], parts[2]);
    if (!limits.high || !limits.warning || !limits.low)
        return std::nullopt;
    return limits;
}

} // namespace quarvel
