#include "programmer/BootLoaderIdentifier.h"

#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "programmer/BootLoaderCommands.h"
#include "programmer/LoaderReplies.h"
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

using loaderreply::bitsAfterEcho;
using loaderreply::echoed;
using loaderreply::textAfterEcho;
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
        id.signatureBytes = loaderreply::signatureBytes(signature);
        for (const int b : id.signatureBytes)
            *id.signature += hexByte(b) + QLatin1Char(' ');
        if (id.signatureBytes.size() < 3)
            return id; // a short signature ends the identification
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
