#pragma once

#include "params/EepromCommands.h"

#include <QString>

namespace quarvel {

class ParameterBinding;

// The "Misc." tab's EEPROM buttons: the instrument loads, saves or resets its working settings.
class EepromOperations {
public:
    explicit EepromOperations(ParameterBinding& binding, int saveAnswerLimitMs = kEepromSaveAnswerLimitMs)
        : m_binding(binding), m_saveAnswerLimitMs(saveAnswerLimitMs)
    {
    }

    // "ELD" then a reload; the unsaved-changes flag stays as it was. Unanswered or refused, the
    // user is told once and the fields keep their texts.
    void loadFromEeprom();
    // "ERD" then a reload, as loadFromEeprom().
    void restoreFactoryDefaults();
    // "ESV", then waits for the instrument's answer; only a save answered without "?" clears the
    // flag. Returns whether the save was confirmed; tells the user when it was not.
    bool saveToEeprom();

private:
    void reloadAfter(Answer answer, const QString& refusedMessage);

    ParameterBinding& m_binding;
    int m_saveAnswerLimitMs;
};

} // namespace quarvel
