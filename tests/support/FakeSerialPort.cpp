#include "support/FakeSerialPort.h"

#include "link/PortSettings.h"

#include <QThread>

namespace quarvel::test {

bool FakeSerialPort::setSettings(const QString& settings)
{
    if (!PortSettings::parse(settings))
        return false;
    m_settings = settings;
    return true;
}

bool FakeSerialPort::open()
{
    if (m_vanished || !m_openError.isEmpty()) {
        m_error = m_vanished ? QStringLiteral("No such file or directory") : m_openError;
        m_openError.clear();
        return false;
    }
    m_open = true;
    ++m_openCount;
    return true;
}

void FakeSerialPort::vanish()
{
    m_vanished = true;
    m_open = false;
    m_error = QStringLiteral("The device has vanished");
}

void FakeSerialPort::write(const QByteArray& bytes)
{
    if (!m_open)
        return;
    m_writes.append(bytes);
    if (m_responder)
        m_received.append(m_responder(bytes));
}

QByteArray FakeSerialPort::readAll()
{
    if (!m_open)
        return {};
    QByteArray out;
    out.swap(m_received);
    return out;
}

bool FakeSerialPort::waitForBytes(int msecs)
{
    // Nothing arrives on its own here: a wait can only run out.
    if (m_open)
        QThread::msleep(static_cast<unsigned long>(qMax(0, msecs)));
    return false;
}

} // namespace quarvel::test
