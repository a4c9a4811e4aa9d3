#include "cli/Session.h"

#include "cli/Arguments.h"
#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "link/DeviceDiscovery.h"
#include "link/PortCatalog.h"
#include "link/PortLocator.h"
#include "link/PortSearch.h"
#include "link/PortSettings.h"

namespace quarvel::cli {

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
    m_console.info(QStringLiteral("Looking for a Quarvel on every port at %1").arg(m_port->settings()));
    PortSearch search(PortCatalog::list(m_configFolder), m_port->settings(), m_prompter);
    search.run();
    const QList<PortProbe> found = search.answered();
    if (found.size() == 1) {
        const PortInfo& port = found.front().port;
        m_console.info(QStringLiteral("Found on %1").arg(portTitle(port)));
        if (port.portNumber > 0)
            m_ownPort.setPortNumber(port.portNumber);
        else
            m_ownPort.useDevice(port.device);
        return kDone;
    }
    if (found.isEmpty())
        return fail(kNotFound, QStringLiteral("--port auto: no Quarvel answered on %1 ports (%2)")
                                   .arg(search.results().size())
                                   .arg(describePorts(search.results())));
    return fail(kNotFound, QStringLiteral("--port auto: %1 Quarvels answered (%2); choose one with --port")
                               .arg(found.size())
                               .arg(describePorts(found)));
}

int Session::connect(QString* identification, NotFound notFound)
{
    if (m_autoPort) {
        if (const int status = choosePort(); status != kDone)
            return status;
        m_autoPort = false;
    }
    if (!m_port->open())
        return fail(kPortFailure,
                    QStringLiteral("%1: the port cannot be opened: %2").arg(device(), m_port->errorString()));
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
    if (identification)
        *identification = answer.trimmed();
    return kDone;
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
