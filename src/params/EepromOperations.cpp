#include "EepromOperations.h"

#include "BusyPointer.h"
#include "CommandFraming.h"
#include "ParameterBinding.h"
#include "ParameterTable.h"
#include "Prompter.h"
#include "SerialLink.h"
#include "SerialPort.h"

#include <QElapsedTimer>

namespace quarvel {

namespace {

const QString kLoad = QStringLiteral("ELD") + kCR;
const QString kDefaults = QStringLiteral("ERD") + kCR;
const QString kSave = QStringLiteral("ESV") + kCR;
constexpr int kSettleMs = 100;
constexpr int kPollMs = 10;

// True when text read together with the echo of the save already holds the answer.
bool holdsAnswer(const QString& discarded)
{
    const QString echo = kInstrumentAddress + kSave;
    const int at = discarded.indexOf(echo);
    const QString after = at >= 0 ? discarded.mid(at + echo.size()) : discarded;
    return !after.trimmed().isEmpty();
}

} // namespace

void EepromOperations::loadFromEeprom()
{
    m_binding.link().sendCommand(kInstrumentAddress, kLoad);
    m_binding.reloadParameters();
}

void EepromOperations::restoreFactoryDefaults()
{
    m_binding.link().sendCommand(kInstrumentAddress, kDefaults);
    m_binding.reloadParameters();
}

bool EepromOperations::saveToEeprom()
{
    SerialLink& link = m_binding.link();
    SerialPort& port = link.port();
    bool answered = false;
    {
        BusyPointer busy;
        BusyScope scope(link);
        link.sendCommand(kInstrumentAddress, kSave);
        link.delay(kSettleMs);
        answered = holdsAnswer(fromWire(port.readAll())); // the echo, and the answer if it was quick
        QElapsedTimer clock;
        clock.start();
        while (!answered && port.isOpen() && clock.elapsed() < m_saveAnswerLimitMs) {
            answered = !port.readAll().isEmpty();
            if (!answered)
                link.delay(kPollMs);
        }
    }
    if (!answered) {
        link.prompter().inform(kSaveUnansweredMessage);
        return false;
    }
    m_binding.setDirty(false);
    return true;
}

} // namespace quarvel
