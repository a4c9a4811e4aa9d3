#include "cli/Arguments.h"

#include "cli/CommandTable.h"

#include <algorithm>
#include <cmath>

namespace quarvel::cli {

namespace {

const OptionSpec* findOption(const QList<OptionSpec>& options, const QString& name)
{
    const auto it = std::find_if(options.cbegin(), options.cend(), [&](const OptionSpec& o) { return o.name == name; });
    return it == options.cend() ? nullptr : &*it;
}

// Whether any command (or every command) has an option of this name that takes a value.
bool takesValue(const QString& word)
{
    if (const OptionSpec* option = findOption(globalOptions(), word))
        return !option->value.isEmpty();
    return std::any_of(commandTable().cbegin(), commandTable().cend(), [&](const CommandSpec& c) {
        const OptionSpec* option = findOption(c.options, word);
        return option && !option->value.isEmpty();
    });
}

// Why the value cannot be used for the option, or empty.
QString valueProblem(const OptionSpec& option, const QString& value)
{
    if (option.kind == ValueKind::Seconds) {
        bool ok = false;
        const double seconds = value.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds < 0)
            return QStringLiteral("%1 %2: not a number of seconds, 0 or more").arg(option.name, value);
    }
    return {};
}

// The options, one a line: the option and its value, then what it does.
QString optionLines(const QList<OptionSpec>& options)
{
    const auto head = [](const OptionSpec& o) { return o.value.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.value; };
    qsizetype width = 0;
    for (const OptionSpec& o : options)
        width = std::max(width, head(o).size());
    const QString indent(width + 4, QLatin1Char(' '));
    QString text;
    for (const OptionSpec& o : options)
        text += QStringLiteral("  %1  %2\n").arg(head(o), -int(width)).arg(QString(o.help).replace(
                    QLatin1Char('\n'), QLatin1Char('\n') + indent));
    return text;
}

QString statusLines()
{
    QString text = QStringLiteral("Exit status:\n");
    for (const StatusSpec& s : exitStatusTable())
        text += QStringLiteral("  %1  %2\n").arg(s.status, -3).arg(QString(s.meaning).replace(
                    QLatin1Char('\n'), QStringLiteral("\n       ")));
    return text;
}

} // namespace

Arguments parseArguments(const QStringList& arguments)
{
    Arguments parsed;
    // The command is the first word that is neither an option nor an option's value.
    for (int i = 0; i < arguments.size(); ++i) {
        if (takesValue(arguments[i])) {
            ++i;
        } else if (!arguments[i].startsWith(QLatin1Char('-'))) {
            parsed.command = arguments[i];
            break;
        }
    }
    const CommandSpec* entry = findCommand(parsed.command);
    if (!parsed.command.isEmpty() && !entry) {
        parsed.error = QStringLiteral("unknown command \"%1\"").arg(parsed.command);
        return parsed;
    }
    const QList<OptionSpec> known = globalOptions() + (entry ? entry->options : QList<OptionSpec>());
    bool commandSeen = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const OptionSpec* option = findOption(known, arg);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            parsed.help = true;
        } else if (arg == QLatin1String("--version")) {
            parsed.version = true;
        } else if (option && option->value.isEmpty()) {
            parsed.options[arg] = QString();
        } else if (option) {
            if (i + 1 >= arguments.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(arg);
                return parsed;
            }
            parsed.options[arg] = arguments[++i];
            if (const QString problem = valueProblem(*option, arguments[i]); !problem.isEmpty()) {
                parsed.error = problem;
                return parsed;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            parsed.error = entry ? QStringLiteral("%1 does not take the option %2").arg(entry->name, arg)
                                 : QStringLiteral("unknown option %1").arg(arg);
            return parsed;
        } else if (!commandSeen && arg == parsed.command) {
            commandSeen = true;
        } else {
            parsed.operands.append(arg);
        }
    }
    if (parsed.command.isEmpty() && !parsed.help && !parsed.version)
        parsed.error = QStringLiteral("no command given");
    return parsed;
}

QString usage(const QString& command)
{
    const QString global = QStringLiteral("Options of every command:\n") + optionLines(globalOptions()) + statusLines();
    if (const CommandSpec* entry = findCommand(command)) {
        const QString own = entry->options.isEmpty() ? QString()
                                                     : QStringLiteral("\nOptions:\n") + optionLines(entry->options);
        return QStringLiteral("usage: quarvel-cli %1\n%2\n%3\n%4").arg(synopsis(*entry), entry->help, own, global);
    }
    QString text = QStringLiteral("usage: quarvel-cli COMMAND [options]\nCommands:\n");
    for (const CommandSpec& c : commandTable())
        text += QStringLiteral("  %1\n").arg(synopsis(c));
    return text + QStringLiteral("\"quarvel-cli COMMAND --help\" describes one command.\n\n") + global;
}

} // namespace quarvel::cli
