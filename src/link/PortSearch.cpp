#include "link/PortSearch.h"

#include "link/CommandFraming.h"
#include "link/DeviceDiscovery.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"

#include <QEventLoop>
#include <QTimer>

namespace quarvel {

PortSearch::PortSearch(QList<PortInfo> ports, QString portSettings, Prompter& prompter, QObject* parent)
    : QObject(parent), m_ports(std::move(ports)), m_settings(std::move(portSettings)), m_prompter(prompter)
{
}

PortSearch::~PortSearch() = default;

QList<PortProbe> PortSearch::answered() const
{
    QList<PortProbe> found;
    for (const PortProbe& probe : m_results) {
        if (probe.outcome == PortProbe::Outcome::Answered)
            found.append(probe);
    }
    return found;
}

void PortSearch::start()
{
    m_results.clear();
    m_cancelled = false;
    m_index = -1;
    openNext();
}

void PortSearch::run()
{
    QEventLoop loop;
    connect(this, &PortSearch::finished, &loop, &QEventLoop::quit);
    start();
    if (running())
        loop.exec();
}

void PortSearch::cancel()
{
    if (!running())
        return;
    m_cancelled = true;
    if (m_link && m_link->busy())
        return; // the exchange under way ends first (step)
    m_link.reset();
    m_adapter.reset(); // closes the port
    emit finished();
}

void PortSearch::openNext()
{
    if (++m_index >= m_ports.size()) {
        emit finished();
        return;
    }
    const PortInfo& port = m_ports[m_index];
    emit probing(m_index, int(m_ports.size()), port);
    if (m_cancelled)
        return;
    // The device itself, not a number: a com<N> link is followed to where it pointed when listed.
    m_adapter = std::make_unique<QtSerialPortAdapter>(QString());
    m_adapter->useDevice(port.device);
    m_adapter->setSettings(m_settings);
    if (!m_adapter->open()) {
        endPort(PortProbe::Outcome::NotOpened, m_adapter->errorString());
        return;
    }
    m_link = std::make_unique<SerialLink>(*m_adapter, m_prompter);
    m_portTime.start();
    QTimer::singleShot(0, this, &PortSearch::step);
}

void PortSearch::step()
{
    if (m_cancelled || !m_link)
        return;
    const QString answer = m_link->getValue(kInstrumentAddress, kIdentifyCode);
    if (m_cancelled) { // while the answer was awaited
        m_link.reset();
        m_adapter.reset();
        emit finished();
        return;
    }
    if (answer.contains(kIdentityMark)) {
        endPort(PortProbe::Outcome::Answered, answer.trimmed());
        return;
    }
    if (!m_adapter->isOpen() || m_portTime.elapsed() >= kPerPortMs) {
        endPort(PortProbe::Outcome::Silent, QString());
        return;
    }
    QTimer::singleShot(0, this, &PortSearch::step);
}

void PortSearch::endPort(PortProbe::Outcome outcome, const QString& text)
{
    PortProbe probe;
    probe.port = m_ports[m_index];
    probe.outcome = outcome;
    if (outcome == PortProbe::Outcome::Answered)
        probe.identification = text;
    else
        probe.error = text;
    m_results.append(probe);
    m_link.reset();
    m_adapter.reset();
    // Through the event loop, so a long list never deepens the stack.
    QTimer::singleShot(0, this, &PortSearch::openNext);
}

} // namespace quarvel
