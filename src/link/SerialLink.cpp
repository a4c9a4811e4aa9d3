#include "link/SerialLink.h"

#include "link/CommandFraming.h"
#include "link/PortSettings.h"
#include "link/Prompter.h"
#include "link/SerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
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

double SerialLink::lineTimeMs(qint64 bytes) const
{
    const auto s = PortSettings::parse(m_port.settings());
    return s ? s->lineTimeMs(bytes) : 0;
}

void SerialLink::writeAndWait(const QString& line, int waitMs)
{
    const QByteArray bytes = toWire(line);
    QElapsedTimer sent;
    sent.start();
    m_port.write(bytes);
    waitTransmitDone();
    // The system takes the bytes long before the last one has left the port; the instrument's
    // answer can only follow it. The fixed wait starts when the line time has passed.
    const double stillOnTheLine = lineTimeMs(bytes.size()) - sent.nsecsElapsed() / 1e6;
    delay(std::max(0.0, stillOnTheLine) + waitMs);
}

QString SerialLink::exchange(const QString& line, int waitMs)
{
    m_port.readAll(); // whatever an earlier exchange left behind
    writeAndWait(line, waitMs);
    return fromWire(m_port.readAll());
}

SerialLink::Read SerialLink::read(const QString& address, const QString& code)
{
    if (m_bootLoaderActive)
        return {};
    BusyScope scope(*this);
    const QString line = readLine(address, code);
    const QString reply = exchange(line, kReadWaitMs);
    return {valueFromReply(reply, line, code), readStatus(reply, line)};
}

Answer SerialLink::setValue(const QString& address, const QString& code, const QString& value)
{
    if (m_bootLoaderActive)
        return Answer::Unanswered;
    BusyScope scope(*this);
    const QString line = writeLine(address, code, value);
    const Answer answer = answerTo(exchange(line, kWriteWaitMs), line);
    if (answer == Answer::Refused)
        m_prompter.inform(kRejectedMessage);
    return answer;
}

Answer SerialLink::command(const QString& address, const QString& command)
{
    if (m_bootLoaderActive)
        return Answer::Unanswered;
    BusyScope scope(*this);
    const QString line = address + command;
    return answerTo(exchange(line, kCommandWaitMs), line);
}

void SerialLink::sendCommand(const QString& address, const QString& command)
{
    if (m_bootLoaderActive)
        return;
    BusyScope scope(*this);
    m_port.readAll();
    writeAndWait(address + command, kCommandWaitMs);
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
