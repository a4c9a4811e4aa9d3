#include "sim/SimulatedSerialPort.h"

#include "link/PortSettings.h"
#include "sim/VirtualInstrument.h"

#include <QStringList>

#include <thread>

namespace quarvel::sim {

SimulatedSerialPort::SimulatedSerialPort(VirtualInstrument& instrument)
    : m_instrument(instrument), m_line(instrument), m_settings(kDefaultPortSettings)
{
}

bool SimulatedSerialPort::setSettings(const QString& settings)
{
    if (!PortSettings::parse(settings))
        return false;
    m_settings = settings;
    return true;
}

bool SimulatedSerialPort::open()
{
    if (m_instrument.vanished()) {
        m_error = QStringLiteral("No such file or directory");
        return false;
    }
    // What the instrument sent while the port was closed is lost, as on a real port.
    m_line.takeDue(SimLine::Clock::now());
    m_received.clear();
    m_open = true;
    return true;
}

void SimulatedSerialPort::collect()
{
    if (!m_open)
        return;
    m_received.append(m_line.takeDue(SimLine::Clock::now()));
    if (m_instrument.vanished()) {
        m_open = false;
        m_error = QStringLiteral("The device has vanished");
    }
}

void SimulatedSerialPort::write(const QByteArray& bytes)
{
    if (!m_open)
        return;
    m_written.append(bytes);
    m_settingsAtWrite.append(m_settings);
    collect();
    const auto settings = PortSettings::parse(m_settings);
    m_line.receive(bytes, SimLine::Clock::now(), settings ? settings->baudRate : 0);
    collect();
}

QByteArray SimulatedSerialPort::readAll()
{
    collect();
    QByteArray out;
    out.swap(m_received);
    return m_open ? out : QByteArray();
}

qint64 SimulatedSerialPort::bytesAvailable()
{
    collect();
    return m_open ? m_received.size() : 0;
}

bool SimulatedSerialPort::waitForBytes(int msecs)
{
    if (!m_open)
        return false;
    const auto deadline = SimLine::Clock::now() + std::chrono::milliseconds(msecs);
    const auto next = m_line.nextDue(SimLine::Clock::now());
    if (!next || *next > deadline) {
        std::this_thread::sleep_until(deadline);
        return false;
    }
    std::this_thread::sleep_until(*next);
    collect();
    return m_open;
}

} // namespace quarvel::sim
