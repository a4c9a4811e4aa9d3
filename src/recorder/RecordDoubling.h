#pragma once

#include <QString>

namespace quarvel {

class RecordModel;

// The doubling rule: a record whose next sample has no point left doubles its total time,
// keeping its values and cursor. minutesText becomes the doubled text; false (nothing changed)
// when the doubled record would pass the point limit.
bool extendRecordTime(RecordModel& model, const QString& secondsText, QString& minutesText);
// What the user is told when the record cannot double again.
QString fullRecordMessage();

} // namespace quarvel
