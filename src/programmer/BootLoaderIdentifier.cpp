#include "programmer/BootLoaderIdentifier.h"

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

void BootLoaderIdentifier::send(char letter, const QByteArray& parameter)
{
    m_port.write(QByteArray(1, letter) + parameter);
    m_link.delay(commandFor(letter).delayMs);
}

QByteArray BootLoaderIdentifier::ask(char letter)
{
    send(letter);
    return m_port.readAll();
}

std::optional<QString> BootLoaderIdentifier::programmer()
{
    return textAfterEcho(ask('S'), 'S');
}

Identification BootLoaderIdentifier::identify()
{
    Identification id;
    id.programmer = programmer();
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

std::optional<QString> BootLoaderIdentifier::lockBits()
{
    return bitsAfterEcho(ask('r'), 'r');
}

std::optional<QString> BootLoaderIdentifier::fuseBits()
{
    return bitsAfterEcho(ask('F'), 'F');
}

} // namespace quarvel
