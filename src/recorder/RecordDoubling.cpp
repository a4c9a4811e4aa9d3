#include "recorder/RecordDoubling.h"

#include "recorder/RecordArithmetic.h"
#include "recorder/RecordModel.h"

namespace quarvel {

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

} // namespace quarvel
