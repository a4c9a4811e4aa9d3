#include "sim/PtyServer.h"

#include "sim/SimLine.h"
#include "sim/VirtualInstrument.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace quarvel::sim {

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onStopSignal(int)
{
    g_stop = 1;
}

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyServer::~PtyServer()
{
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyServer::start()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error = systemError("cannot open a pseudo-terminal");
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(::ptsname(m_master));
    m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        m_error = systemError("cannot open the pseudo-terminal's device");
        return false;
    }
    termios raw {};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    if (!m_linkPath.isEmpty()) {
        QFile::remove(m_linkPath);
        if (!QFile::link(m_devicePath, m_linkPath)) {
            m_error = QStringLiteral("cannot create the link %1").arg(m_linkPath);
            return false;
        }
    }
    return true;
}

int PtyServer::run()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    // The kernel may otherwise wake the loop up to 50 us late for every byte it paces out.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    SimLine line(m_instrument);
    char buffer[4096];
    while (!g_stop) {
        const auto now = SimLine::Clock::now();
        const QByteArray due = line.takeDue(now);
        if (!due.isEmpty() && ::write(m_master, due.constData(), static_cast<size_t>(due.size())) < 0
            && errno != EAGAIN)
            break;
        if (m_instrument.vanished())
            break;
        timespec timeout {1, 0};
        if (const auto next = line.nextDue(SimLine::Clock::now())) {
            const auto wait = std::max(SimLine::Clock::duration::zero(), *next - SimLine::Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        }
        pollfd fd {m_master, POLLIN, 0};
        const int ready = ::ppoll(&fd, 1, &timeout, nullptr);
        if (ready > 0 && (fd.revents & POLLIN)) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                line.receive(QByteArray(buffer, static_cast<int>(n)), SimLine::Clock::now());
        }
    }
    // Vanishing: the master closes at once, so the program's side of the line fails.
    ::close(m_master);
    m_master = -1;
    ::close(m_slave);
    m_slave = -1;
    return 0;
}

} // namespace quarvel::sim
