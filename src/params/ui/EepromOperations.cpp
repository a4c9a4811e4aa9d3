#include "params/ui/EepromOperations.h"

#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "params/EepromCommands.h"
#include "params/ui/ParameterBinding.h"
#include "ui/BusyPointer.h"

namespace quarvel {

void EepromOperations::reloadAfter(Answer answer, const QString& refusedMessage)
{
    if (answer == Answer::Confirmed)
        m_binding.reloadParameters();
    else if (!m_binding.link().bootLoaderActive())
        m_binding.link().prompter().inform(answer == Answer::Refused ? refusedMessage : SerialLink::kUnansweredMessage);
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
    EepromSave answer;
    {
        BusyPointer busy;
        answer = saveSettingsToEeprom(link, m_saveAnswerLimitMs);
    }
    if (answer == EepromSave::Unanswered) {
        link.prompter().inform(kEepromSaveUnansweredMessage);
        return false;
    }
    if (answer == EepromSave::Refused) {
        link.prompter().inform(kEepromSaveRefusedMessage);
        return false;
    }
    m_binding.setDirty(false);
    return true;
}

} // namespace quarvel
