// quarvel-cli: the instrument from a script. Every command finds the instrument first; the exit
// status says what happened (see ExitStatus.h).
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"

#include <QCoreApplication>

#include <cstdio>

using namespace quarvel::cli;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ignoreClosedOutput();
    // The window's name: its configuration folder holds the com<N> links.
    QCoreApplication::setApplicationName(QStringLiteral("Quarvel"));
    const Arguments arguments = parseArguments(QCoreApplication::arguments().mid(1));
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
