#include "SerialLink.h"

#include "CommandFraming.h"
#include "Prompter.h"
#include "SerialPort.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace quarvel {

SerialLink::SerialLink(SerialPort& port, Prompter& prompter, QObject* parent)
    : QObject(parent), m_port(port), m_prompter(prompter)
{
}

void SerialLink::enter()
{
    ++m_depth;
}

void SerialLink::leave()
{
    if (--m_depth == 0)
        emit idle();
}

QString SerialLink::exchange(const QString& line, int waitMs)
{
    m_port.readAll(); // whatever an earlier exchange left behind
    m_port.write(toWire(line));
    waitTransmitDone();
    delay(waitMs);
    return fromWire(m_port.readAll());
}

QString SerialLink::getValue(const QString& address, const QString& code)
{
    BusyScope scope(*this);
    const QString line = readLine(address, code);
    const QString reply = exchange(line, kReadWaitMs);
    return valueFromReply(reply, line, code);
}

void SerialLink::setValue(const QString& address, const QString& code, const QString& value)
{
    BusyScope scope(*this);
    const QString reply = exchange(writeLine(address, code, value), kWriteWaitMs);
    if (isRejected(reply))
        m_prompter.inform(kRejectedMessage);
}

void SerialLink::sendCommand(const QString& address, const QString& command)
{
    BusyScope scope(*this);
    m_port.readAll();
    m_port.write(toWire(address + command));
    waitTransmitDone();
    delay(kCommandWaitMs);
}

void SerialLink::delay(double ms)
{
    BusyScope scope(*this);
    const int interval = static_cast<int>(std::lround(ms));
    if (interval <= 0) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    // One loop and one timer per call: a delay started inside another ends on its own tick.
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(interval);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SerialLink::waitTransmitDone()
{
    BusyScope scope(*this);
    if (!m_port.isOpen() || m_port.bytesToWrite() == 0)
        return;
    // A short repeating tick keeps WaitForMoreEvents from sleeping past the moment the port drains.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(1);
    while (m_port.isOpen() && m_port.bytesToWrite() > 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace quarvel
