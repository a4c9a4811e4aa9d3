#include "cli/Commands.h"

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "cli/ExitStatus.h"
#include "cli/Session.h"

namespace quarvel::cli {

int runCommand(Session& session, const Arguments& arguments)
{
    if (const CommandSpec* command = findCommand(arguments.command))
        return command->run(session, arguments);
    return session.fail(kBadInput, QStringLiteral("unknown command \"%1\"").arg(arguments.command));
}

} // namespace quarvel::cli
