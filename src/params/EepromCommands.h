#pragma once

#include "link/CommandFraming.h"

#include <QString>

namespace quarvel {

class SerialLink;

// The instrument's three EEPROM commands on the command channel, shared by the "Misc." tab and
// quarvel-cli. Load and factory defaults change the working settings; the caller reloads them.
using EepromSave = Answer;

inline const QString kEepromSaveUnansweredMessage = QStringLiteral(
    "The QUARVEL did not confirm the save. The settings may not have been saved to the instrument's "
    "EEPROM; check the connection and save again.");
inline const QString kEepromSaveRefusedMessage = QStringLiteral(
    "The QUARVEL refused to save the settings to its EEPROM. Your changes are not saved; check them and "
    "save again.");
inline const QString kEepromLoadRefusedMessage =
    QStringLiteral("The QUARVEL refused to load its settings from the EEPROM; its working settings are as they were.");
inline const QString kFactoryDefaultsRefusedMessage =
    QStringLiteral("The QUARVEL refused to restore its factory defaults; its working settings are as they were.");
inline constexpr int kEepromSaveAnswerLimitMs = 5000;

// "ELD" and "ERD": done only when the instrument answered with the echo and no "?".
Answer loadSettingsFromEeprom(SerialLink& link);
Answer restoreFactorySettings(SerialLink& link);
// "ESV", then waits up to answerLimitMs for the instrument's answer: confirmed only when it
// answered without "?".
EepromSave saveSettingsToEeprom(SerialLink& link, int answerLimitMs);

} // namespace quarvel
