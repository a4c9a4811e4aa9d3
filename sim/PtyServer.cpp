#include "sim/PtyServer.h"

#include "sim/SimLine.h"
#include "sim/VirtualInstrument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace quarvel::sim {

namespace {

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_unplug = 0;
volatile std::sig_atomic_t g_restart = 0;

void onSignal(int signal)
{
    if (signal == SIGUSR1)
        g_unplug = 1;
    else if (signal == SIGUSR2)
        g_restart = 1;
    else
        g_stop = 1;
}

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyServer::~PtyServer()
{
    if (!m_linkPath.isEmpty() && QFileInfo(m_linkPath).symLinkTarget() == stablePath())
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
    if (m_linkPath.isEmpty())
        return true;
    if (!m_stable)
        m_stable.emplace(QDir::temp().filePath(QStringLiteral("quarvel-sim-XXXXXX")));
    if (!m_stable->isValid() || !QFile::link(m_devicePath, stablePath())) {
        m_error = QStringLiteral("cannot create the link %1").arg(stablePath());
        return false;
    }
    if (QFileInfo(m_linkPath).symLinkTarget() == stablePath())
        return true; // back behind the link it had
    QFile::remove(m_linkPath);
    if (!QFile::link(stablePath(), m_linkPath)) {
        m_error = QStringLiteral("cannot create the link %1").arg(m_linkPath);
        return false;
    }
    return true;
}

int PtyServer::run()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    for (const int signal : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2})
        ::sigaction(signal, &action, nullptr);

    // The kernel may otherwise wake the loop up to 50 us late for every byte it paces out.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        const End end = serve();
        closeLine();
        const int away = end == End::Unplugged ? (m_awayMs > 0 ? m_awayMs : kDefaultAwayMs) : m_awayMs;
        if (end == End::Stop || away <= 0 || !stayAway(away))
            return 0;
        // Plugged in again: a new device behind the same link, and an instrument that boots first.
        m_instrument.restart();
        if (!start()) {
            std::fprintf(stderr, "quarvel-sim: %s\n", m_error.toLocal8Bit().constData());
            return 1;
        }
        m_deafUntil = Clock::now() + std::chrono::milliseconds(m_bootMs);
        std::printf("%s\n", m_devicePath.toLocal8Bit().constData());
        std::fflush(stdout);
    }
}

PtyServer::End PtyServer::serve()
{
    std::optional<SimLine> line(std::in_place, m_instrument);
    char buffer[4096];
    for (;;) {
        if (g_stop)
            return End::Stop;
        if (g_unplug) {
            g_unplug = 0;
            return End::Unplugged;
        }
        if (g_restart) {
            g_restart = 0;
            m_instrument.restart();
            line.emplace(m_instrument); // what was still to be sent is lost with the power
            m_deafUntil = Clock::now() + std::chrono::milliseconds(m_bootMs);
        }
        const auto now = SimLine::Clock::now();
        const QByteArray due = line->takeDue(now);
        if (!due.isEmpty() && ::write(m_master, due.constData(), static_cast<size_t>(due.size())) < 0
            && errno != EAGAIN)
            return End::Vanished;
        if (m_instrument.vanished())
            return End::Vanished;
        timespec timeout {1, 0};
        if (const auto next = line->nextDue(SimLine::Clock::now())) {
            const auto wait = std::max(SimLine::Clock::duration::zero(), *next - SimLine::Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        }
        pollfd fd {m_master, POLLIN, 0};
        const int ready = ::ppoll(&fd, 1, &timeout, nullptr);
        if (ready > 0 && (fd.revents & POLLIN)) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            // While it boots the instrument hears nothing.
            if (n > 0 && Clock::now() >= m_deafUntil)
                line->receive(QByteArray(buffer, static_cast<int>(n)), SimLine::Clock::now(), sentBaud());
        }
    }
}

int PtyServer::sentBaud() const
{
    // The master side reports the settings the program gave the device.
    termios settings {};
    if (::tcgetattr(m_master, &settings) != 0)
        return 0;
    switch (::cfgetospeed(&settings)) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

void PtyServer::closeLine()
{
    // The master closes at once, so the program's side of the line fails; the link dangles.
    if (m_stable)
        QFile::remove(stablePath());
    ::close(m_master);
    m_master = -1;
    ::close(m_slave);
    m_slave = -1;
}

bool PtyServer::stayAway(int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    g_unplug = 0;
    while (!g_stop && !g_unplug && Clock::now() < until) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now()).count();
        const timespec wait {static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
        ::nanosleep(&wait, nullptr); // a signal ends it early; the loop looks again
    }
    g_unplug = 0;
    return !g_stop;
}

} // namespace quarvel::sim
