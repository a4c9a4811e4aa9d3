// quarvel-sim: the virtual instrument on a pseudo-terminal. Prints the device path, optionally
// links it as com<N> for the program, and serves until it is stopped or vanishes.
#include "sim/PtyServer.h"
#include "sim/SimOptions.h"
#include "sim/VirtualInstrument.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quarvel-sim"));
    quarvel::sim::VirtualInstrument instrument;
    quarvel::sim::PtyServer server(instrument);
    const auto error = quarvel::sim::applyOptions(QCoreApplication::arguments().mid(1), instrument, server);
    if (!error.isEmpty()) {
        QTextStream(stderr) << error << "\n" << quarvel::sim::optionsHelp();
        return 2;
    }
    if (!server.start()) {
        QTextStream(stderr) << "quarvel-sim: " << server.errorString() << "\n";
        return 1;
    }
    std::printf("%s\n", server.devicePath().toLocal8Bit().constData());
    std::fflush(stdout);
    return server.run();
}
