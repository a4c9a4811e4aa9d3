#include "recorder/LiveRecordSettings.h"

#include "link/PortSettings.h"
#include "link/SerialLink.h"

#include <cmath>

namespace quarvel {

namespace {
// How long one voltage reading takes: the command "1RNV" CR on the line at the port's speed,
// then the channel's fixed wait for the answer.
double sampleExchangeMs(const QString& portSettings)
{
    constexpr int commandLength = 5;
    return PortSettings::parse(portSettings).value_or(PortSettings{}).lineTimeMs(commandLength) + SerialLink::kReadWaitMs;
}
} // namespace

QString checkLiveRecordSettings(const QString& secondsText, const QString& minutesText, const QString& portSettings,
                                RecordSettings& settings, int& intervalMs)
{
    QString problem = checkRecordSettings(secondsText, minutesText, settings);
    const double exchangeMs = sampleExchangeMs(portSettings);
    const double smallest = std::ceil(exchangeMs / 10) / 100; // whole hundredths of a second
    const auto interval = sampleIntervalMs(secondsText);
    if (problem.isEmpty() && numberOf(secondsText).value_or(0) < smallest)
        problem = QStringLiteral("Samples cannot be taken every %1 seconds: reading the voltage from the Quarvel "
                                 "takes about %2 ms. Enter at least %3 seconds between samples.")
                      .arg(secondsText.trimmed())
                      .arg(qRound(exchangeMs))
                      .arg(smallest);
    else if (problem.isEmpty() && !interval)
        problem = QStringLiteral("%1 seconds between samples cannot be timed: enter at most 2000000 seconds.")
                      .arg(secondsText.trimmed());
    if (problem.isEmpty())
        intervalMs = *interval;
    return problem;
}

} // namespace quarvel
