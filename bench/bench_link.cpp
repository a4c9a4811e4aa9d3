// Measures the command channel against the virtual instrument on a pseudo-terminal: one read
// exchange and one full reload of the parameter tabs, each as a ratio to its floor (the fixed
// waits plus the line time of the written bytes at 9600 baud), and the processor time a reload
// uses as a share of its wall time.
#include "link/CommandFraming.h"
#include "link/PortSettings.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"
#include "params/ParameterTable.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParameterPages.h"
#include "support/ScriptedPrompter.h"
#include "support/SimProcess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

using namespace quarvel;

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double lineMs(int bytes)
{
    return bytes * 10.0 * 1000.0 / 9600.0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("QUARVEL_SIM"))
        qputenv("QUARVEL_SIM", (QCoreApplication::applicationDirPath() + "/../sim/quarvel-sim").toLocal8Bit());
    test::SimProcess sim;
    QTextStream out(stdout);
    if (!sim.started()) {
        out << "cannot start the virtual instrument: " << sim.error() << "\n";
        return 1;
    }
    QtSerialPortAdapter port(sim.configFolder());
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.setSettings(kDefaultPortSettings);
    if (!port.open()) {
        out << "cannot open the port: " << port.errorString() << "\n";
        return 1;
    }

    constexpr int kReads = 40;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kReads; ++i)
        link.getValue(kInstrumentAddress, QStringLiteral("DRA"));
    const double readMs = clock.nsecsElapsed() / 1e6 / kReads;
    const double readFloor = SerialLink::kReadWaitMs + lineMs(readLine(kInstrumentAddress, "DRA").size());

    ParameterPages pages(link);
    double reloadFloor = 0;
    const auto addRead = [&](const QString& code) {
        reloadFloor += SerialLink::kReadWaitMs + lineMs(readLine(kInstrumentAddress, code).size());
    };
    addRead(parameterFields()[0].code);
    for (const FieldDefinition& f : parameterFields())
        addRead(f.code);
    for (const FieldDefinition& f : reportFields())
        addRead(f.code);

    constexpr int kReloads = 5;
    const double cpuBefore = cpuSeconds();
    clock.restart();
    for (int i = 0; i < kReloads; ++i)
        pages.binding().reloadParameters();
    const double reloadMs = clock.nsecsElapsed() / 1e6 / kReloads;
    const double cpuShare = (cpuSeconds() - cpuBefore) * 1000.0 / (reloadMs * kReloads);

    out << QStringLiteral("read exchange: %1 ms, floor %2 ms, ratio %3 (goal <= 1.05)\n")
               .arg(readMs, 0, 'f', 2).arg(readFloor, 0, 'f', 2).arg(readMs / readFloor, 0, 'f', 3);
    out << QStringLiteral("full reload:   %1 ms, floor %2 ms, ratio %3 (goal <= 1.05)\n")
               .arg(reloadMs, 0, 'f', 1).arg(reloadFloor, 0, 'f', 1).arg(reloadMs / reloadFloor, 0, 'f', 3);
    out << QStringLiteral("reload CPU share: %1 % of wall time (goal < 5 %)\n").arg(cpuShare * 100, 0, 'f', 2);
    return 0;
}
