#pragma once

#include "params/EepromCommands.h"

#include <QString>

namespace quarvel {

class ParameterBinding;

// The "Misc." tab's EEPROM buttons: the instrument loads, saves or resets its working settings.
class EepromOperations {
public:
    static inline const QString kSavedWithoutUnsentMessage = QStringLiteral(
        "The QUARVEL saved its settings to its EEPROM, but not every value you entered: check the connection, "
        "press Enter in each field named below and save again.");

    explicit EepromOperations(ParameterBinding& binding, int saveAnswerLimitMs = kEepromSaveAnswerLimitMs)
        : m_binding(binding), m_saveAnswerLimitMs(saveAnswerLimitMs)
    {
    }

    // "ELD" then a reload; the unsaved-changes flag stays as it was. Unanswered or refused, the
    // user is told once and the fields keep their texts.
    void loadFromEeprom();
    // "ERD" then a reload, as loadFromEeprom().
    void restoreFactoryDefaults();
    // Sends every value the instrument never confirmed, then "ESV", and waits for the answer. Only
    // a save answered without "?", with every value confirmed, clears the flag. Returns whether it
    // did; otherwise tells the user, naming each value that was not saved.
    bool saveToEeprom();

private:
    // The unconfirmed values, as the end of a message; empty when there are none.
    QString notSaved() const;
    void reloadAfter(Answer answer, const QString& refusedMessage);

    ParameterBinding& m_binding;
    int m_saveAnswerLimitMs;
};

} // namespace quarvel
