#include "programmer/ProgrammingModeEntry.h"

#include "link/PortSettings.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "programmer/BootLoaderCommands.h"
#include "programmer/ProgrammerTexts.h"

namespace quarvel {

namespace {

const BootLoaderCommand& commandFor(char letter)
{
    using namespace bootloader;
    static constexpr const BootLoaderCommand* timed[] = {&kProgrammerId, &kSoftwareVersion, &kHardwareVersion,
                                                        &kSignature,    &kReadLockBits,    &kReadFuseBits,
                                                        &kLedOn,        &kLedOff};
    for (const BootLoaderCommand* c : timed) {
        if (c->letter == letter)
            return *c;
    }
    return kProgrammerId;
}

bool echoed(const QByteArray& reply, char letter)
{
    return !reply.isEmpty() && reply.at(0) == letter;
}

// A version or identifier reply: everything after the echo, as received.
std::optional<QString> textAfterEcho(const QByteArray& reply, char letter)
{
    if (!echoed(reply, letter))
        return std::nullopt;
    return fromWire(reply.mid(1));
}

// Lock and fuse bits: the byte after the echo, in hexadecimal.
std::optional<QString> bitsAfterEcho(const QByteArray& reply, char letter)
{
    if (reply.size() < 2 || !echoed(reply, letter))
        return std::nullopt;
    return hexByte(static_cast<quint8>(reply.at(1)));
}

} // namespace

void ProgrammingModeEntry::send(char letter, const QByteArray& parameter)
{
    m_port.write(QByteArray(1, letter) + parameter);
    m_link.delay(commandFor(letter).delayMs);
}

QByteArray ProgrammingModeEntry::ask(char letter)
{
    send(letter);
    return m_port.readAll();
}

Identification ProgrammingModeEntry::run(QString& savePortSettings)
{
    BusyScope busy(m_link);
    Identification id;
    m_port.write(toWire(QStringLiteral("1pgm\r")));
    m_link.delay(kLoaderStartMs);

    m_port.close();
    savePortSettings = m_port.settings();
    m_port.setSettings(kBootLoaderPortSettings);
    if (!m_port.open()) {
        id.error = QStringLiteral("The serial port could not be opened at %1 for the boot loader: %2")
                       .arg(kBootLoaderPortSettings, m_port.errorString());
        return id;
    }

    id.programmer = textAfterEcho(ask('S'), 'S');
    if (!id.programmer)
        return id; // no loader answered: nothing else is asked
    id.softwareVersion = textAfterEcho(ask('V'), 'V');
    id.hardwareVersion = textAfterEcho(ask('v'), 'v');

    const QByteArray signature = ask('s');
    id.signature = QString();
    if (echoed(signature, 's')) {
        for (int i = 0; i < 3; ++i) {
            if (signature.size() < i + 2)
                return id; // a short signature ends the identification
            const auto b = static_cast<quint8>(signature.at(i + 1));
            id.signatureBytes.append(b);
            *id.signature += hexByte(b) + QLatin1Char(' ');
        }
    }

    id.lockBits = lockBits();
    id.fuseBits = fuseBits();

    for (int i = 0; i < kLedBlinks; ++i) {
        send('x', QByteArray(1, ' '));
        send('y', QByteArray(1, ' '));
    }
    m_port.readAll(); // the LED acknowledgements and anything left over
    return id;
}

std::optional<QString> ProgrammingModeEntry::lockBits()
{
    return bitsAfterEcho(ask('r'), 'r');
}

std::optional<QString> ProgrammingModeEntry::fuseBits()
{
    return bitsAfterEcho(ask('F'), 'F');
}

bool ProgrammingModeEntry::leave(const QString& restoreSettings)
{
    BusyScope scope(m_link);
    m_port.write(QByteArray(1, bootloader::kLeave.letter));
    m_link.delay(bootloader::kLeave.delayMs);
    m_port.close();
    if (!restoreSettings.isEmpty())
        m_port.setSettings(restoreSettings);
    return m_port.open();
}

} // namespace quarvel
