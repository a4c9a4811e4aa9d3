#include "cli/Commands.h"

#include "cli/Arguments.h"
#include "cli/ExitStatus.h"
#include "cli/Session.h"

#include <QList>
#include <QPair>

namespace quarvel::cli {

int runCommand(Session& session, const Arguments& arguments)
{
    using Runner = int (*)(Session&, const Arguments&);
    const QList<QPair<QString, Runner>> runners{
        {QStringLiteral("ports"), runPorts},       {QStringLiteral("identify"), runIdentify},
        {QStringLiteral("get"), runGet},
        {QStringLiteral("set"), runSet},           {QStringLiteral("eeprom"), runEeprom},
        {QStringLiteral("backup"), runBackup},     {QStringLiteral("restore"), runRestore},
        {QStringLiteral("flash"), runFlash},       {QStringLiteral("read-flash"), runReadFlash},
        {QStringLiteral("fuses"), runFuses},
        {QStringLiteral("download"), runDownload}, {QStringLiteral("record"), runRecord},
        {QStringLiteral("report"), runReport},     {QStringLiteral("plot"), runPlot},
    };
    for (const auto& [name, run] : runners) {
        if (name == arguments.command)
            return run(session, arguments);
    }
    return session.fail(kBadInput, QStringLiteral("unknown command \"%1\"").arg(arguments.command));
}

} // namespace quarvel::cli
