#include "link/ConnectionWatcher.h"

#include "link/CommandFraming.h"
#include "link/DeviceDiscovery.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"

namespace quarvel {

ConnectionWatcher::ConnectionWatcher(SerialPort& port, SerialLink& link, QObject* parent)
    : QObject(parent), m_port(port), m_link(link)
{
    connect(&m_timer, &QTimer::timeout, this, &ConnectionWatcher::check);
}

void ConnectionWatcher::watch(const QString& identification)
{
    m_identification = identification;
    if (!m_port.isOpen()) {
        setState(State::Idle);
        return;
    }
    m_portNumber = m_port.portNumber();
    m_device = m_port.deviceName();
    m_route = m_port.route();
    setState(State::Connected);
}

void ConnectionWatcher::setHeld(bool held)
{
    m_held = held;
    if (!held && m_state == State::Connected && !m_port.isOpen())
        check(); // lost while held: from now on it is waited for
}

void ConnectionWatcher::setState(State state)
{
    m_state = state;
    if (state == State::Idle || state == State::Elsewhere) {
        m_timer.stop();
        return;
    }
    m_timer.start(state == State::Connected ? kCheckMs : kRetryMs);
}

bool ConnectionWatcher::reopen()
{
    // The number may lead elsewhere now (a link that dangles no longer names the device): only
    // the same route is the same device.
    m_port.setPortNumber(m_portNumber);
    if (m_port.route() == m_route && m_port.open())
        return true;
    if (!m_relocate || (m_sinceRelocate.isValid() && m_sinceRelocate.elapsed() < kRelocateMs))
        return false;
    m_sinceRelocate.start();
    const int number = m_relocate();
    if (number <= 0 || number == m_portNumber)
        return false;
    m_port.setPortNumber(number);
    if (m_port.open())
        return true;
    m_port.setPortNumber(m_portNumber); // the device may yet come back where it was
    return false;
}

void ConnectionWatcher::check()
{
    switch (m_state) {
    case State::Idle:
    case State::Elsewhere:
        return;
    case State::Connected:
        if (m_port.isOpen())
            return;
        setState(State::Away);
        emit lost();
        return;
    case State::Away:
        // Programming mode decides for itself; an exchange under way is not interrupted.
        if (m_held || m_link.busy() || !reopen())
            return;
        setState(State::Identifying);
        emit reopened();
        [[fallthrough]];
    case State::Identifying: {
        if (m_held || m_link.busy())
            return;
        // One attempt per tick: a booting instrument is asked again until it answers.
        const QString answer = m_link.getValue(kInstrumentAddress, kIdentifyCode);
        if (m_state != State::Identifying)
            return; // watched anew meanwhile (the user chose a port)
        if (!m_port.isOpen()) {
            setState(State::Away);
            return;
        }
        if (!answer.contains(kIdentityMark))
            return; // no answer yet (still booting), or not an instrument's
        const QString identification = answer.trimmed();
        if (!m_identification.isEmpty() && identification != m_identification) {
            // Not the instrument in use: it gets nothing more, not even the next identify line.
            m_port.close();
            setState(State::Elsewhere);
            emit otherInstrument(identification);
            return;
        }
        watch(identification);
        emit returned(identification);
        return;
    }
    }
}

} // namespace quarvel
