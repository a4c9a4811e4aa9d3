#pragma once

#include "recorder/RecordArithmetic.h"
#include "recorder/RecordFileWriter.h"

#include <QString>

#include <optional>
#include <vector>

namespace quarvel {

class RecordModel;
class SerialLink;

// The rules of a record taken or downloaded, shared by the Record tab and quarvel-cli.

// Checks the settings of a live record against the time one voltage reading takes at the port's
// settings. Fills `settings` and `intervalMs`, or returns a message that says what is wrong.
QString checkLiveRecordSettings(const QString& secondsText, const QString& minutesText, const QString& portSettings,
                                RecordSettings& settings, int& intervalMs);

// The doubling rule: a record whose next sample has no point left doubles its total time,
// keeping its values and cursor. minutesText becomes the doubled text; false (nothing changed)
// when the doubled record would pass the point limit.
bool extendRecordTime(RecordModel& model, const QString& secondsText, QString& minutesText);
QString fullRecordMessage();

// One voltage reading ("RNV"); nothing when the instrument gave no number.
std::optional<double> readPackVoltage(SerialLink& link);

// What a record file written now holds for the model (the date is the system's short date).
RecordFileContent recordFileContent(const RecordModel& model, const QString& secondsText, const QString& minutesText,
                                    const QString& comment);

// The record stored in the instrument, placed in time by the "Record dwell time" text.
struct StoredRecordImport {
    RecordSettings settings;
    QString secondsText;
    QString minutesText;
    std::vector<std::optional<double>> values;
    QString error;   // nothing was loaded, and why
    bool unanswered = false; // the error is that the instrument sent nothing (or too much)
    QString warning; // loaded, but fewer values than points

    static StoredRecordImport fetch(SerialLink& link, const QString& dwellText);
};

} // namespace quarvel
