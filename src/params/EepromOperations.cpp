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

// What the instrument answered to the save in text read together with its echo: everything
// after the echo, or nothing when only the echo (or part of it) has arrived.
QString answerAfterEcho(const QString& discarded)
{
    const QString echo = kInstrumentAddress + kSave;
    const int at = discarded.indexOf(echo);
    const QString after = at >= 0 ? discarded.mid(at + echo.size()) : discarded;
    return after.trimmed().isEmpty() ? QString() : after;
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
    if (link.bootLoaderActive())
        return false; // the button is disabled then; nothing may reach the boot loader
    SerialPort& port = link.port();
    QString answer;
    {
        BusyPointer busy;
        BusyScope scope(link);
        link.sendCommand(kInstrumentAddress, kSave);
        link.delay(kSettleMs);
        answer = answerAfterEcho(fromWire(port.readAll())); // the echo, and the answer if it was quick
        QElapsedTimer clock;
        clock.start();
        while (answer.isEmpty() && port.isOpen() && clock.elapsed() < m_saveAnswerLimitMs) {
            answer = fromWire(port.readAll());
            if (answer.isEmpty())
                link.delay(kPollMs);
        }
    }
    if (answer.isEmpty()) {
        link.prompter().inform(kSaveUnansweredMessage);
        return false;
    }
    if (isRejected(answer)) {
        link.prompter().inform(kSaveRefusedMessage);
        return false;
    }
    m_binding.setDirty(false);
    return true;
}

} // namespace quarvel
