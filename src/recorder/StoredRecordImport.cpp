#include "recorder/StoredRecordImport.h"

#include "recorder/StoredRecordDownload.h"
#include "recorder/StoredRecordReply.h"

namespace quarvel {

namespace {
constexpr int kStoredSamples = 300;
} // namespace

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
