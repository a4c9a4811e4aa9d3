// Measures the search for the instrument and the return after an unplug, against the virtual
// instrument on pseudo-terminals: the time "Search all ports" takes over 8 ports without an
// instrument (4 silent, 4 absent), and the time from the device's return behind its com<N> link
// to the first identify line the program sends (goal below 1.5 s), and to the instrument
// identified again; and, for an instrument plugged in while the window's start-up failure view
// shows, the time from its port's appearance to the first identify line (goal at most 1.5 s) and
// to the window connected with the settings read.
#include "app/MainWindow.h"
#include "link/ConnectionWatcher.h"
#include "link/PortSearch.h"
#include "link/PortSettings.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"
#include "link/ui/LookingDialog.h"
#include "support/RecordingPort.h"
#include "support/ScriptedPrompter.h"
#include "support/SimProcess.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

using namespace quarvel;

namespace {

// Runs the event loop until the condition holds or the time is up; false on time-out.
template <typename Condition>
bool waitFor(Condition condition, int ms)
{
    QDeadlineTimer deadline(ms);
    QTimer tick; // wakes the wait every millisecond to look again
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(1);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Notes when the first identify line is written after arm().
class IdentifyClock : public test::RecordingPort {
public:
    using RecordingPort::RecordingPort;
    void arm()
    {
        m_clock.start();
        sentAfterMs = -1;
    }
    void write(const QByteArray& bytes) override
    {
        if (bytes == "1DID\r" && sentAfterMs < 0 && m_clock.isValid())
            sentAfterMs = m_clock.nsecsElapsed() / 1e6;
        RecordingPort::write(bytes);
    }
    double sentAfterMs = -1;

private:
    QElapsedTimer m_clock;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("QUARVEL_SIM"))
        qputenv("QUARVEL_SIM", (QCoreApplication::applicationDirPath() + "/../sim/quarvel-sim").toLocal8Bit());
    QTextStream out(stdout);
    test::ScriptedPrompter prompter;

    // Search: 4 silent instruments and 4 devices that are not there.
    std::vector<std::unique_ptr<test::SimProcess>> silent;
    QList<PortInfo> ports;
    for (int i = 0; i < 4; ++i) {
        silent.push_back(std::make_unique<test::SimProcess>(QStringList{QStringLiteral("--silent")}));
        if (!silent.back()->started()) {
            out << "cannot start the virtual instrument: " << silent.back()->error() << "\n";
            return 1;
        }
        PortInfo port;
        port.device = silent.back()->device();
        ports << port;
        PortInfo absent;
        absent.device = QStringLiteral("/dev/quarvel-absent-%1").arg(i);
        ports << absent;
    }
    PortSearch search(ports, kDefaultPortSettings, prompter);
    QElapsedTimer clock;
    clock.start();
    search.run();
    const double searchMs = clock.nsecsElapsed() / 1e6;
    out << QStringLiteral("search of 8 ports (4 silent, 4 absent): %1 ms, %2 ms per silent port (goal <= about 1000)\n")
               .arg(searchMs, 0, 'f', 0)
               .arg(searchMs / 4, 0, 'f', 0);
    silent.clear();

    // Unplug and return: the device comes back behind the same link; the program notices by itself.
    test::SimProcess sim({QStringLiteral("--away"), QStringLiteral("600000"), QStringLiteral("--boot-time"),
                          QStringLiteral("0")});
    if (!sim.started()) {
        out << "cannot start the virtual instrument: " << sim.error() << "\n";
        return 1;
    }
    QtSerialPortAdapter adapter(sim.configFolder());
    IdentifyClock port(adapter);
    SerialLink link(port, prompter);
    ConnectionWatcher watcher(port, link);
    port.open();
    watcher.watch();
    const QString linkPath = QDir(sim.configFolder()).filePath(QStringLiteral("com1"));
    std::vector<double> toIdentifyLine;
    std::vector<double> toIdentified;
    constexpr int kReturns = 10;
    for (int i = 0; i < kReturns; ++i) {
        sim.unplug();
        if (!waitFor([&] { return watcher.away(); }, 10000)) {
            out << "the unplug was not noticed\n";
            return 1;
        }
        sim.plugBackIn();
        // The return: the moment the link names a device again.
        if (!waitFor([&] { return QFileInfo::exists(linkPath); }, 10000)) {
            out << "the instrument did not come back\n";
            return 1;
        }
        clock.restart();
        port.arm();
        if (!waitFor([&] { return watcher.state() == ConnectionWatcher::State::Connected; }, 10000))
            return 1;
        toIdentified.push_back(clock.nsecsElapsed() / 1e6);
        toIdentifyLine.push_back(port.sentAfterMs);
    }
    out << QStringLiteral("return to the first identify line, %1 returns: median %2 ms, worst %3 ms (goal < 1500)\n")
               .arg(kReturns)
               .arg(median(toIdentifyLine), 0, 'f', 0)
               .arg(*std::max_element(toIdentifyLine.begin(), toIdentifyLine.end()), 0, 'f', 0);
    out << QStringLiteral("return to the instrument identified again: median %1 ms, worst %2 ms\n")
               .arg(median(toIdentified), 0, 'f', 0)
               .arg(*std::max_element(toIdentified.begin(), toIdentified.end()), 0, 'f', 0);
    out.flush();

    port.close();
    watcher.watch(); // idle: it must not reopen the device below

    // Plugged in after the start: each time a new window starts with port 1 absent, shows its
    // failure view, and then the instrument appears behind com1.
    std::vector<double> toFirstIdentify;
    std::vector<double> toConnected;
    constexpr int kPlugIns = 5;
    for (int i = 0; i < kPlugIns; ++i) {
        sim.unplug();
        if (!waitFor([&] { return !QFileInfo::exists(linkPath); }, 10000)) {
            out << "the unplug did not take the link away\n";
            return 1;
        }
        QtSerialPortAdapter windowAdapter(sim.configFolder());
        IdentifyClock windowPort(windowAdapter);
        MainWindow window(windowPort, prompter, sim.configFolder());
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* looking = qobject_cast<LookingDialog*>(QApplication::activeModalWidget());
            if (!looking || !looking->failureShown() || clock.isValid())
                return;
            sim.plugBackIn();
            // The appearance: the moment the link names a device again. Waited for here, before
            // the clock starts, so the window's own look at the ports is not helped by the wait.
            for (QDeadlineTimer deadline(10000); !QFileInfo::exists(linkPath) && !deadline.hasExpired();)
                QThread::usleep(100);
            clock.start();
            windowPort.arm();
        });
        clock.invalidate();
        user.start(10);
        window.startUp();
        if (windowPort.sentAfterMs < 0 || !window.connection().portNumber()) {
            out << "the window did not find the instrument plugged in\n";
            return 1;
        }
        toConnected.push_back(clock.nsecsElapsed() / 1e6);
        toFirstIdentify.push_back(windowPort.sentAfterMs);
    }
    out << QStringLiteral("plugged in while the failure view shows, to the first identify line, %1 times: median %2 ms, "
                          "worst %3 ms (goal <= 1500)\n")
               .arg(kPlugIns)
               .arg(median(toFirstIdentify), 0, 'f', 0)
               .arg(*std::max_element(toFirstIdentify.begin(), toFirstIdentify.end()), 0, 'f', 0);
    out << QStringLiteral("plugged in, to the window connected with every setting read: median %1 ms, worst %2 ms\n")
               .arg(median(toConnected), 0, 'f', 0)
               .arg(*std::max_element(toConnected.begin(), toConnected.end()), 0, 'f', 0);
    return 0;
}
