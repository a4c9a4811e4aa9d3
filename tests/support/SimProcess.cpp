#include "support/SimProcess.h"

#include <QDeadlineTimer>
#include <QDir>

#include <csignal>
#include <sched.h>
#include <sys/resource.h>

namespace quarvel::test {

namespace {

// The instrument must answer within the protocol's fixed waits (25 and 50 ms) also on a busy
// machine: it runs at a real-time priority where that is allowed (as root), else ahead of ordinary
// work if it may. It sleeps between bytes, so it takes little of the processor either way.
void putAheadOfOtherWork(pid_t pid)
{
    sched_param param {};
    param.sched_priority = 10;
    if (::sched_setscheduler(pid, SCHED_FIFO, &param) != 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), -10);
}

} // namespace

SimProcess::SimProcess(const QStringList& options, const QString& linkName, const QString& folder)
    : m_folder(folder.isEmpty() ? m_dir.path() : folder)
{
    const QString program = qEnvironmentVariable("QUARVEL_SIM");
    if (program.isEmpty()) {
        m_error = QStringLiteral("the virtual instrument cannot be started: QUARVEL_SIM is not set");
        return;
    }
    QStringList arguments = options;
    arguments << QStringLiteral("--link") << QDir(m_folder).filePath(linkName);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("the virtual instrument %1 cannot be started: %2").arg(program, m_process.errorString());
        return;
    }
    putAheadOfOtherWork(static_cast<pid_t>(m_process.processId()));
    QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning)
        m_process.waitForReadyRead(100);
    const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    if (line.isEmpty())
        m_error = QStringLiteral("the virtual instrument %1 started but named no device").arg(program);
    else
        m_device = line;
}

SimProcess::~SimProcess()
{
    stop();
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

} // namespace quarvel::test

namespace quarvel::test {

void SimProcess::signal(int number)
{
    if (m_process.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(m_process.processId()), number);
}

QStringList SimProcess::returns()
{
    QStringList devices;
    m_process.waitForReadyRead(0);
    while (m_process.canReadLine())
        devices << QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return devices;
}

} // namespace quarvel::test
