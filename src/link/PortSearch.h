#pragma once

#include "link/PortInfo.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <memory>

namespace quarvel {

class Prompter;
class QtSerialPortAdapter;
class SerialLink;

// What the search found on one port.
struct PortProbe {
    enum class Outcome { Answered, Silent, NotOpened };
    PortInfo port;
    Outcome outcome = Outcome::Silent;
    QString identification; // the answer that holds "Quarvel V"
    QString error;          // why the port did not open
};

// Looks for the instrument on the ports the user asked to search, one port at a time at the
// given speed: opens each, repeats the identify exchange until an answer holds "Quarvel V" or
// about a second has passed, and closes it again. Each attempt returns to the event loop, so a
// window stays responsive and cancel() takes effect at once.
class PortSearch : public QObject {
    Q_OBJECT
public:
    // What a port without an instrument may cost.
    static constexpr int kPerPortMs = 900;

    PortSearch(QList<PortInfo> ports, QString portSettings, Prompter& prompter, QObject* parent = nullptr);
    ~PortSearch() override;

    void start();
    void cancel();
    // Starts and returns when done (for the command line).
    void run();

    bool running() const { return m_index >= 0 && m_index < m_ports.size() && !m_cancelled; }
    bool cancelled() const { return m_cancelled; }
    const QList<PortProbe>& results() const { return m_results; }
    QList<PortProbe> answered() const;
    int portCount() const { return int(m_ports.size()); }

signals:
    // Port `index` (from 0) of `count` is being asked.
    void probing(int index, int count, const quarvel::PortInfo& port);
    void finished();

private:
    void step();
    void openNext();
    void endPort(PortProbe::Outcome outcome, const QString& text);

    QList<PortInfo> m_ports;
    QString m_settings;
    Prompter& m_prompter;
    QList<PortProbe> m_results;
    std::unique_ptr<QtSerialPortAdapter> m_adapter;
    std::unique_ptr<SerialLink> m_link;
    QElapsedTimer m_portTime;
    int m_index = -1;
    bool m_cancelled = false;
};

} // namespace quarvel
