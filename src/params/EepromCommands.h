#pragma once

#include <QString>

namespace quarvel {

class SerialLink;

// The instrument's three EEPROM commands on the command channel, shared by the "Misc." tab and
// quarvel-cli. Load and factory defaults change the working settings; the caller reloads them.
enum class EepromSave { Confirmed, Refused, Unanswered };

inline const QString kEepromSaveUnansweredMessage = QStringLiteral(
    "The QUARVEL did not confirm the save. The settings may not have been saved to the instrument's "
    "EEPROM; check the connection and save again.");
inline const QString kEepromSaveRefusedMessage = QStringLiteral(
    "The QUARVEL refused to save the settings to its EEPROM. Your changes are not saved; check them and "
    "save again.");
inline constexpr int kEepromSaveAnswerLimitMs = 5000;

void loadSettingsFromEeprom(SerialLink& link);
void restoreFactorySettings(SerialLink& link);
// "ESV", then waits up to answerLimitMs for the instrument's answer: confirmed only when it
// answered without "?".
EepromSave saveSettingsToEeprom(SerialLink& link, int answerLimitMs);

} // namespace quarvel
