#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quarvel {

class RecordModel;

// What a record file holds: a date, the user's comment, the two settings texts, and each
// point's label and value (NaN: no value, written as an empty value).
struct RecordFileContent {
    QString date;
    QString comment;
    QString secondsText;
    QString minutesText;
    QStringList labels;
    std::vector<double> values;
};

// What a record file written now holds for the model (the date is the system's short date).
RecordFileContent recordFileContent(const RecordModel& model, const QString& secondsText, const QString& minutesText,
                                    const QString& comment);

} // namespace quarvel
