#include "recorder/LiveRecord.h"

#include "link/CommandFraming.h"
#include "link/PortSettings.h"
#include "link/SerialLink.h"
#include "recorder/RecordModel.h"
#include "recorder/StoredRecordDownload.h"
#include "recorder/StoredRecordReply.h"

#include <QDate>
#include <QLocale>

#include <cmath>

namespace quarvel {

namespace {
constexpr int kStoredSamples = 300;

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

bool extendRecordTime(RecordModel& model, const QString& secondsText, QString& minutesText)
{
    const QString minutes = doubledMinutesText(minutesText);
    RecordSettings settings;
    if (!checkRecordSettings(secondsText, minutes, settings).isEmpty())
        return false;
    const int at = model.cursor();
    model.setupVoltageChart(settings.seconds, settings.minutes);
    model.setCursor(at);
    minutesText = minutes;
    return true;
}

QString fullRecordMessage()
{
    return QStringLiteral("The record is full: doubling its time again would need more than %1 points. "
                          "Acquisition has stopped; the record is kept.")
        .arg(kMaxRecordPoints);
}

std::optional<double> readPackVoltage(SerialLink& link)
{
    return numberOf(link.getValue(kInstrumentAddress, QStringLiteral("RNV")));
}

RecordFileContent recordFileContent(const RecordModel& model, const QString& secondsText, const QString& minutesText,
                                    const QString& comment)
{
    RecordFileContent content;
    content.comment = comment;
    // The system's short date; a comma in it would shift every pair when the file is read.
    content.date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).remove(QLatin1Char(','));
    content.secondsText = secondsText;
    content.minutesText = minutesText;
    for (int k = 1; k <= model.pointCount(); ++k)
        content.labels.append(model.label(k));
    content.values = model.rawValues();
    return content;
}

StoredRecordImport StoredRecordImport::fetch(SerialLink& link, const QString& dwellText)
{
    StoredRecordImport stored;
    const auto seconds = numberOf(dwellText);
    if (!seconds || *seconds <= 0) {
        stored.error = QStringLiteral("The Record dwell time \"%1\" is not a number of seconds greater than 0, so the "
                                      "stored record cannot be placed in time. Read or enter the Record dwell time first.")
                           .arg(dwellText);
        return stored;
    }
    stored.secondsText = dwellText;
    stored.minutesText = singleText(static_cast<float>(static_cast<float>(*seconds) * kStoredSamples / 60));
    stored.error = checkRecordSettings(dwellText, stored.minutesText, stored.settings);
    if (!stored.error.isEmpty())
        return stored;

    const StoredRecordDownload download = StoredRecordDownload::fetch(link);
    if (!download.error.isEmpty()) {
        stored.error = download.error;
        stored.unanswered = true;
        return stored;
    }
    stored.values = StoredRecordReply::values(download.reply, stored.settings.points);
    if (stored.values.empty()) {
        stored.unanswered = download.reply.isEmpty();
        stored.error = download.reply.isEmpty()
                           ? QStringLiteral("The Quarvel did not answer. Check that it is connected and switched "
                                            "on, then try again.")
                           : QStringLiteral("The Quarvel holds no stored record.");
        return stored;
    }
    if (static_cast<int>(stored.values.size()) < stored.settings.points)
        stored.warning = QStringLiteral("The Quarvel sent %1 values for a record of %2 points: the points after the "
                                        "last value are gaps.")
                             .arg(stored.values.size())
                             .arg(stored.settings.points);
    return stored;
}

} // namespace quarvel
