#pragma once

#include "recorder/RecordArithmetic.h"

#include <QString>

namespace quarvel {

// Checks the settings of a live record against the time one voltage reading takes at the port's
// settings. Fills `settings` and `intervalMs`, or returns a message that says what is wrong.
QString checkLiveRecordSettings(const QString& secondsText, const QString& minutesText, const QString& portSettings,
                                RecordSettings& settings, int& intervalMs);

} // namespace quarvel
