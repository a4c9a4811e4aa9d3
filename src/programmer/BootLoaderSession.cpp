#include "programmer/BootLoaderSession.h"

#include "link/CommandFraming.h"
#include "link/PortSettings.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "programmer/BootLoaderCommands.h"

namespace quarvel {

namespace {
QString loaderPortError(SerialPort& port)
{
    return QStringLiteral("The serial port could not be opened at %1 for the boot loader: %2")
        .arg(kBootLoaderPortSettings, port.errorString());
}
} // namespace

BootLoaderSession::BootLoaderSession(SerialPort& port, SerialLink& link, QObject* parent)
    : QObject(parent), m_port(port), m_link(link), m_identifier(port, link)
{
}

bool BootLoaderSession::active() const
{
    return m_link.bootLoaderActive();
}

void BootLoaderSession::setActive(bool active)
{
    m_link.setBootLoaderActive(active);
    emit activeChanged(active);
}

Identification BootLoaderSession::enter()
{
    BusyScope busy(m_link);
    setActive(true);
    m_note.remember(m_port.deviceName());
    // Written straight to the port: the command channel refuses the application from here on.
    m_port.write(toWire(kInstrumentAddress + QStringLiteral("pgm") + kCR));
    m_link.delay(kLoaderStartMs);

    m_port.close();
    m_savedPortSettings = m_port.settings();
    m_port.setSettings(kBootLoaderPortSettings);
    if (!m_port.open()) {
        Identification id;
        id.error = loaderPortError(m_port);
        return id;
    }
    return m_identifier.identify();
}

Identification BootLoaderSession::findRunning()
{
    BusyScope busy(m_link);
    const QString before = m_port.settings();
    m_port.close();
    m_port.setSettings(kBootLoaderPortSettings);
    Identification id;
    if (m_port.open())
        id = m_identifier.identify();
    else
        id.error = loaderPortError(m_port);
    if (id.programmer) {
        m_note.remember(m_port.deviceName());
        m_savedPortSettings = before;
        setActive(true);
        return id;
    }
    m_port.close();
    m_port.setSettings(before);
    m_port.open();
    return id;
}

bool BootLoaderSession::answersAtLoaderSpeed()
{
    BusyScope busy(m_link);
    const QString before = m_port.settings();
    m_port.close();
    m_port.setSettings(kBootLoaderPortSettings);
    const bool answered = m_port.open() && m_identifier.programmer().has_value();
    m_port.close();
    m_port.setSettings(before);
    m_port.open();
    return answered;
}

bool BootLoaderSession::leave()
{
    BusyScope busy(m_link);
    const bool heard = m_port.isOpen();
    m_port.write(QByteArray(1, bootloader::kLeave.letter));
    m_link.delay(bootloader::kLeave.delayMs);
    if (heard)
        m_note.forget(m_port.deviceName());
    m_port.close();
    // Only an entry of this session changed the settings; without one, the saved ones would undo
    // a later choice of port settings.
    if (active() && !m_savedPortSettings.isEmpty())
        m_port.setSettings(m_savedPortSettings);
    const bool reopened = m_port.open();
    setActive(false);
    return reopened;
}

std::optional<QString> BootLoaderSession::lockBits()
{
    return m_identifier.lockBits();
}

std::optional<QString> BootLoaderSession::fuseBits()
{
    return m_identifier.fuseBits();
}

} // namespace quarvel
