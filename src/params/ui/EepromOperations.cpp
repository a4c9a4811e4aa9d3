#include "params/ui/EepromOperations.h"

#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "params/EepromCommands.h"
#include "params/ui/ParameterBinding.h"
#include "ui/BusyPointer.h"

namespace quarvel {

void EepromOperations::loadFromEeprom()
{
    loadSettingsFromEeprom(m_binding.link());
    m_binding.reloadParameters();
}

void EepromOperations::restoreFactoryDefaults()
{
    restoreFactorySettings(m_binding.link());
    m_binding.reloadParameters();
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
