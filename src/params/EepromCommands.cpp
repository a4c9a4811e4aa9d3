#include "params/EepromCommands.h"

#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "params/ParameterTable.h"

#include <QElapsedTimer>

#include <algorithm>

namespace quarvel {

namespace {

const QString kLoad = QStringLiteral("ELD") + kCR;
const QString kDefaults = QStringLiteral("ERD") + kCR;
const QString kSave = QStringLiteral("ESV") + kCR;
constexpr int kSettleMs = 100;
constexpr int kPollMs = 10;

const QString kSaveEcho = kInstrumentAddress + kSave;

// Whether the text received after "ESV" decides the save: the echo and something after it, or text
// that can no longer become the echo (no confirmation, whatever follows).
bool saveDecided(const QString& received)
{
    const qsizetype compared = std::min(received.size(), kSaveEcho.size());
    if (received.left(compared) != kSaveEcho.left(compared))
        return true;
    return !received.mid(kSaveEcho.size()).trimmed().isEmpty();
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
    // The echo, and the answer if it was quick; then the answer as it comes.
    QString received = fromWire(port.readAll());
    QElapsedTimer clock;
    clock.start();
    while (!saveDecided(received) && port.isOpen() && clock.elapsed() < answerLimitMs) {
        link.delay(kPollMs);
        received += fromWire(port.readAll());
    }
    // As for every other command: only an answer after the echo counts, and a "?" in it refuses.
    if (!received.startsWith(kSaveEcho) || received.mid(kSaveEcho.size()).trimmed().isEmpty())
        return EepromSave::Unanswered;
    return answerTo(received, kSaveEcho);
}

} // namespace quarvel
