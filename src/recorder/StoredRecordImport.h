#pragma once

#include "recorder/RecordArithmetic.h"

#include <QString>

#include <optional>
#include <vector>

namespace quarvel {

class SerialLink;

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
