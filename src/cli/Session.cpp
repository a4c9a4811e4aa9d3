#include "cli/Session.h"

#include "cli/Arguments.h"
#include "cli/Interrupt.h"
#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "link/DeviceDiscovery.h"
#include "link/PortArrivalWatcher.h"
#include "link/PortCatalog.h"
#include "link/PortLocator.h"
#include "link/PortSearch.h"
#include "link/PortSettings.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/ProgrammerTexts.h"
#include "programmer/RunningLoaderNote.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <optional>
#include <utility>

namespace quarvel::cli {

namespace {

// The longest --wait: beyond it a number is more likely a typing error than a plan.
constexpr double kMaxWaitSeconds = 1e6;
constexpr int kWaitTickMs = 100;

// Lets timers and the port watcher run for a moment.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the search; while an InterruptGuard is held (interruptible), Ctrl+C cancels it once the
// exchange in hand has ended.
void runSearch(PortSearch& search, bool interruptible)
{
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &search, [&search] {
        if (InterruptGuard::requested())
            search.cancel();
    });
    if (interruptible)
        watch.start(kWaitTickMs / 2);
    search.run();
}

} // namespace

QString describePorts(const QList<PortProbe>& probes)
{
    QStringList names;
    for (const PortProbe& probe : probes)
        names << portTitle(probe.port);
    return names.isEmpty() ? QStringLiteral("none listed") : names.join(QStringLiteral("; "));
}

Session::Session(const Arguments& arguments, SerialPort* port)
    : m_configFolder(arguments.options.value(QStringLiteral("--config"), configurationFolder())),
      m_console(arguments.options.contains(QStringLiteral("--quiet"))),
      m_ownPort(m_configFolder),
      m_port(port ? port : &m_ownPort),
      m_link(*m_port, m_prompter)
{
    const QString portText = arguments.options.value(QStringLiteral("--port"), QStringLiteral("1"));
    bool ok = false;
    m_autoPort = portText == QLatin1String("auto");
    const int portNumber = m_autoPort ? 1 : portText.toInt(&ok);
    if (!m_autoPort && (!ok || portNumber < 1 || portNumber > 255))
        m_error = QStringLiteral("--port %1: a port number is 1 to 255, or auto").arg(portText);
    m_ownPort.setPortNumber(portNumber);
    m_ownPort.useDevice(arguments.options.value(QStringLiteral("--device")));
    const QString baud = arguments.options.value(QStringLiteral("--baud"), QStringLiteral("9600"));
    const int rate = baud.toInt(&ok);
    if (!ok || rate <= 0 || !m_port->setSettings(QStringLiteral("%1,n,8,1").arg(rate)))
        m_error = QStringLiteral("--baud %1: not a speed in bits per second").arg(baud);
    if (arguments.options.contains(QStringLiteral("--wait"))) {
        const QString text = arguments.options.value(QStringLiteral("--wait"));
        const double seconds = text.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > kMaxWaitSeconds)
            m_error = QStringLiteral("--wait %1: a number of seconds from 0 to %2")
                          .arg(text)
                          .arg(kMaxWaitSeconds, 0, 'f', 0);
        else
            m_waitSeconds = seconds;
    }
}

QString Session::device() const
{
    return m_port == &m_ownPort ? m_ownPort.deviceName() : QStringLiteral("port %1").arg(m_port->portNumber());
}

int Session::fail(int status, const QString& text)
{
    m_console.error(text);
    return status;
}

int Session::choosePort()
{
    const bool waiting = m_waitSeconds > 0;
    std::optional<InterruptGuard> guard; // only while waiting: a plain search stops at Ctrl+C as ever
    const auto interrupted = [&guard] { return guard && InterruptGuard::requested(); };
    PortArrivalWatcher arrivals(m_configFolder);
    QList<PortInfo> appeared;
    if (waiting) {
        guard.emplace();
        QObject::connect(&arrivals, &PortArrivalWatcher::appeared, &arrivals,
                         [&appeared](const PortInfo& port) { appeared.append(port); });
        arrivals.start(); // before the search: a port that appears during it is asked next
    }
    const QDeadlineTimer deadline(qint64(m_waitSeconds * 1000));
    m_console.info(QStringLiteral("Looking for a Quarvel on every port at %1").arg(m_port->settings()));
    // A loader this program left running would read lines at the application's speed as other
    // bytes (a fuse write among them): its port is not asked.
    const RunningLoaderNote loaders(m_configFolder);
    QList<PortInfo> skipped;
    QList<PortInfo> ports = loaders.searchable(PortCatalog::list(m_configFolder), &skipped);
    QList<PortProbe> asked;
    QList<PortProbe> found;
    bool first = true;
    for (;;) {
        for (const PortInfo& port : std::exchange(skipped, {}))
            m_console.info(QStringLiteral("Not asking %1: a boot loader was left running there; name it with --port "
                                          "or --device to reach it")
                               .arg(portTitle(port)));
        PortSearch search(ports, m_port->settings(), m_prompter);
        runSearch(search, waiting);
        if (interrupted())
            return interruptedWhileWaiting();
        asked += search.results();
        found += search.answered();
        if (!found.isEmpty() || !waiting)
            break;
        if (first)
            m_console.info(QStringLiteral("Waiting up to %1 s for a Quarvel to be plugged in").arg(m_waitSeconds));
        first = false;
        while (appeared.isEmpty() && !deadline.hasExpired() && !interrupted())
            pause(kWaitTickMs);
        if (interrupted())
            return interruptedWhileWaiting();
        if (appeared.isEmpty())
            break; // the time is up
        ports = loaders.searchable(appeared, &skipped);
        appeared.clear();
    }
    if (found.size() == 1) {
        const PortInfo& port = found.front().port;
        m_console.info(QStringLiteral("Found on %1").arg(portTitle(port)));
        if (port.portNumber > 0)
            m_ownPort.setPortNumber(port.portNumber);
        else
            m_ownPort.useDevice(port.device);
        return kDone;
    }
    if (found.isEmpty()) {
        m_waitedInVain = waiting;
        const QString within = waiting ? QStringLiteral(" within %1 s").arg(m_waitSeconds) : QString();
        return fail(kNotFound, QStringLiteral("--port auto: no Quarvel answered%1 on %2 ports (%3)")
                                   .arg(within)
                                   .arg(asked.size())
                                   .arg(describePorts(asked)));
    }
    return fail(kNotFound, QStringLiteral("--port auto: %1 Quarvels answered (%2); choose one with --port")
                               .arg(found.size())
                               .arg(describePorts(found)));
}

int Session::waitForPort()
{
    if (m_port->open())
        return kDone;
    const InterruptGuard guard;
    m_console.info(QStringLiteral("%1: waiting up to %2 s for the port to appear").arg(device()).arg(m_waitSeconds));
    const QDeadlineTimer deadline(qint64(m_waitSeconds * 1000));
    for (;;) {
        pause(kWaitTickMs);
        if (InterruptGuard::requested()) // before the port is tried again: nothing goes out after Ctrl+C
            return interruptedWhileWaiting();
        if (m_port->open())
            return kDone;
        if (deadline.hasExpired()) {
            m_waitedInVain = true;
            return fail(kNotFound, QStringLiteral("%1: the port did not appear within %2 s: %3")
                                       .arg(device())
                                       .arg(m_waitSeconds)
                                       .arg(m_port->errorString()));
        }
    }
}

int Session::interruptedWhileWaiting()
{
    m_port->close();
    return fail(InterruptGuard::exitStatus(),
                QStringLiteral("interrupted while waiting for the port; nothing more was sent"));
}

int Session::connect(QString* identification, NotFound notFound)
{
    if (m_autoPort) {
        if (const int status = choosePort(); status != kDone) {
            m_noPortChosen = true;
            return status;
        }
        m_autoPort = false;
    } else if (m_waitSeconds > 0) {
        if (const int status = waitForPort(); status != kDone)
            return status;
    }
    if (!m_port->open())
        return fail(kPortFailure,
                    QStringLiteral("%1: the port cannot be opened: %2").arg(device(), m_port->errorString()));
    if (notedLoaderAnswers()) {
        if (notFound == NotFound::Quiet)
            return kNotFound;
        return fail(kNotFound, QStringLiteral("%1: the boot loader that a flash left running answered at %2: %3")
                                   .arg(device(), kBootLoaderPortSettings, kUnverifiedApplicationMessage));
    }
    // As the window does at start: two line ends end whatever a previous program left half sent.
    m_port->write(toWire(QString(kCR)));
    m_port->write(toWire(QString(kCR)));
    const QString answer = identifyQuarvel(m_link);
    if (const int status = portStatus(); status != kDone)
        return status;
    if (answer.isEmpty() && notFound == NotFound::Quiet)
        return kNotFound;
    if (answer.isEmpty())
        return fail(kNotFound, QStringLiteral("%1: no Quarvel answered (%2 attempts at %3)")
                                   .arg(device())
                                   .arg(kMaxIdentifyAttempts)
                                   .arg(m_port->settings()));
    RunningLoaderNote(m_configFolder).forget(m_port->deviceName()); // the application runs there
    if (identification)
        *identification = answer.trimmed();
    return kDone;
}

bool Session::notedLoaderAnswers()
{
    if (m_loaderAsked || !RunningLoaderNote(m_configFolder).holds(m_port->deviceName()))
        return false;
    m_loaderAsked = true;
    m_console.info(QStringLiteral("A boot loader was left running on %1: asking it first at %2")
                       .arg(device(), kBootLoaderPortSettings));
    m_notedLoaderAnswered = BootLoaderSession(*m_port, m_link).answersAtLoaderSpeed();
    return m_notedLoaderAnswered;
}

int Session::portStatus()
{
    if (m_port->isOpen())
        return kDone;
    return fail(kPortFailure, QStringLiteral("%1: the connection was lost: %2").arg(device(), m_port->errorString()));
}

int Session::readUnanswered(const QString& code)
{
    return valueFailure(code, ValueProblem::Unanswered);
}

int Session::valueFailure(const QString& code, ValueProblem problem)
{
    return fail(problem == ValueProblem::Refused ? kRefused : kPortFailure,
                device() + QStringLiteral(": ") + valueProblemText(code, problem));
}

int Session::readValue(const QString& code, SerialLink::Read& read)
{
    read = m_link.read(kInstrumentAddress, code);
    if (const int status = portStatus(); status != kDone)
        return status;
    const ValueProblem problem = valueProblem(code, read);
    return problem == ValueProblem::None ? kDone : valueFailure(code, problem);
}

} // namespace quarvel::cli
