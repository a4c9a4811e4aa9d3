// ports: the serial ports as the program numbers them, and where a Quarvel answers.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "link/PortCatalog.h"
#include "link/PortSearch.h"
#include "programmer/RunningLoaderNote.h"

namespace quarvel::cli {

namespace {

QString orDash(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QString description(const PortInfo& port)
{
    const QString text = portDescription(port);
    if (text.isEmpty() && !port.linkName.isEmpty())
        return QStringLiteral("%1 link").arg(port.linkName);
    return text;
}

QString portLine(const PortInfo& port)
{
    return QStringLiteral("%1\t%2\t%3\t%4")
        .arg(port.portNumber > 0 ? QString::number(port.portNumber) : QStringLiteral("-"), port.device,
             orDash(description(port)), orDash(port.identity));
}

} // namespace

int runPorts(Session& session, const Arguments& arguments)
{
    if (!arguments.operands.isEmpty())
        return session.fail(kBadInput, QStringLiteral("ports takes no operand"));
    const QList<PortInfo> ports = PortCatalog::list(session.configFolder());
    if (!arguments.options.contains(QStringLiteral("--probe"))) {
        for (const PortInfo& port : ports)
            session.console().result(portLine(port));
        return kDone;
    }
    QList<PortInfo> skipped; // a loader left running is not asked at the application's speed
    PortSearch search(RunningLoaderNote(session.configFolder()).searchable(ports, &skipped), session.port().settings(),
                      session.prompter());
    QObject::connect(&search, &PortSearch::probing, [&](int index, int count, const PortInfo& port) {
        session.console().info(QStringLiteral("Asking %1 (%2 of %3)").arg(portTitle(port)).arg(index + 1).arg(count));
    });
    search.run();
    for (const PortProbe& probe : search.results()) {
        QString outcome = probe.identification;
        if (probe.outcome == PortProbe::Outcome::Silent)
            outcome = QStringLiteral("-");
        else if (probe.outcome == PortProbe::Outcome::NotOpened)
            outcome = QStringLiteral("- (not opened: %1)").arg(oneLine(probe.error));
        session.console().result(portLine(probe.port) + QLatin1Char('\t') + outcome);
    }
    for (const PortInfo& port : skipped)
        session.console().result(portLine(port) + QStringLiteral("\t- (not asked: a boot loader was left running there)"));
    return kDone;
}

} // namespace quarvel::cli
