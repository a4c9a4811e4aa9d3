// quarvel-cli: the instrument from a script. Every command finds the instrument first; the exit
// status says what happened (see ExitStatus.h).
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

using namespace quarvel::cli;

int main(int argc, char** argv)
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    const Arguments arguments = parseArguments(words);
    // Only plot draws; it needs fonts and a painter but never a display.
    std::unique_ptr<QCoreApplication> app;
    if (arguments.command == QLatin1String("plot")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    ignoreClosedOutput();
    // The window's name: its configuration folder holds the com<N> links, its data folder the history.
    QCoreApplication::setApplicationName(QStringLiteral("Quarvel"));
    if (arguments.version) {
        std::printf("quarvel-cli %s\n", QUARVEL_VERSION);
        return kDone;
    }
    if (arguments.help) {
        std::fputs(usage(arguments.command).toLocal8Bit().constData(), stdout);
        return kDone;
    }
    Console console(false);
    if (!arguments.error.isEmpty()) {
        console.error(arguments.error + QStringLiteral(" (quarvel-cli --help lists the commands)"));
        return kBadInput;
    }
    Session session(arguments);
    if (!session.error().isEmpty()) {
        console.error(session.error());
        return kBadInput;
    }
    return runCommand(session, arguments);
}
