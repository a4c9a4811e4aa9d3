#include "params/EepromCommands.h"

#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "params/ParameterTable.h"

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

Answer loadSettingsFromEeprom(SerialLink& link)
{
    return link.command(kInstrumentAddress, kLoad);
}

Answer restoreFactorySettings(SerialLink& link)
{
    return link.command(kInstrumentAddress, kDefaults);
}

EepromSave saveSettingsToEeprom(SerialLink& link, int answerLimitMs)
{
    if (link.bootLoaderActive())
        return EepromSave::Unanswered; // nothing may reach the boot loader
    SerialPort& port = link.port();
    BusyScope scope(link);
    link.sendCommand(kInstrumentAddress, kSave);
    link.delay(kSettleMs);
    QString answer = answerAfterEcho(fromWire(port.readAll())); // the echo, and the answer if it was quick
    QElapsedTimer clock;
    clock.start();
    while (answer.isEmpty() && port.isOpen() && clock.elapsed() < answerLimitMs) {
        answer = fromWire(port.readAll());
        if (answer.isEmpty())
            link.delay(kPollMs);
    }
    if (answer.isEmpty())
        return EepromSave::Unanswered;
    return isRejected(answer) ? EepromSave::Refused : EepromSave::Confirmed;
}

} // namespace quarvel
