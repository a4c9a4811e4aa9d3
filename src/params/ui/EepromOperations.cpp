#include "params/ui/EepromOperations.h"

#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "params/EepromCommands.h"
#include "params/ui/ParameterBinding.h"
#include "ui/BusyPointer.h"

namespace quarvel {

void EepromOperations::reloadAfter(Answer answer, const QString& refusedMessage)
{
    if (answer == Answer::Confirmed)
        m_binding.reloadParameters();
    else if (!m_binding.link().bootLoaderActive())
        m_binding.link().prompter().inform(answer == Answer::Refused ? refusedMessage : m_binding.link().unansweredMessage());
}

void EepromOperations::loadFromEeprom()
{
    reloadAfter(loadSettingsFromEeprom(m_binding.link()), kEepromLoadRefusedMessage);
}

void EepromOperations::restoreFactoryDefaults()
{
    reloadAfter(restoreFactorySettings(m_binding.link()), kFactoryDefaultsRefusedMessage);
}

bool EepromOperations::saveToEeprom()
{
    SerialLink& link = m_binding.link();
    if (link.bootLoaderActive())
        return false; // the button is disabled then; nothing may reach the boot loader
    if (!link.port().isOpen()) {
        link.prompter().inform(SerialLink::kDisconnectedMessage + notSaved());
        return false;
    }
    EepromSave answer;
    bool allSent = false;
    {
        BusyPointer busy;
        // A value the instrument never confirmed would be lost by a save that counts as complete.
        allSent = m_binding.sendUnsent();
        answer = saveSettingsToEeprom(link, m_saveAnswerLimitMs);
    }
    if (answer == EepromSave::Unanswered) {
        link.prompter().inform(kEepromSaveUnansweredMessage + notSaved());
        return false;
    }
    if (answer == EepromSave::Refused) {
        link.prompter().inform(kEepromSaveRefusedMessage + notSaved());
        return false;
    }
    if (!allSent) {
        link.prompter().inform(kSavedWithoutUnsentMessage + notSaved());
        return false; // the flag stays: Exit still asks
    }
    m_binding.setDirty(false);
    return true;
}

QString EepromOperations::notSaved() const
{
    const QStringList values = m_binding.unsentValues();
    if (values.isEmpty())
        return {};
    return QStringLiteral("\n\nThese values never reached the QUARVEL and are not saved:\n") +
           values.join(QLatin1Char('\n'));
}

} // namespace quarvel
