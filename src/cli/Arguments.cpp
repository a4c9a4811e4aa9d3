#include "cli/Arguments.h"

namespace quarvel::cli {

namespace {

struct CommandEntry {
    QString name;
    QStringList switches;
    QStringList valued;
    QString synopsis;
    QString help;
};

const QStringList kGlobalValued{QStringLiteral("--port"), QStringLiteral("--device"), QStringLiteral("--baud"),
                                QStringLiteral("--config"), QStringLiteral("--wait")};
const QStringList kGlobalSwitches{QStringLiteral("--quiet")};

const QList<CommandEntry>& commands()
{
    static const QList<CommandEntry> list{
        {QStringLiteral("ports"), {QStringLiteral("--probe")}, {}, QStringLiteral("ports [--probe]"),
         QStringLiteral("Lists the serial ports, one a line: port number (- when none names it), device,\n"
                        "description and identity, separated by tabs. --probe asks each port, one at a time and\n"
                        "for about a second, whether a Quarvel answers, and adds its identification (or \"-\").")},
        {QStringLiteral("identify"), {}, {}, QStringLiteral("identify"),
         QStringLiteral("Prints the instrument's identification text.")},
        {QStringLiteral("get"), {}, {}, QStringLiteral("get [CODE...]"),
         QStringLiteral("Prints CODE=value for the given parameter codes, or for every setting and the three report "
                        "values.")},
        {QStringLiteral("set"), {}, {}, QStringLiteral("set CODE=VALUE..."),
         QStringLiteral("Writes the settings in the order given and reports each value the instrument refuses;\n"
                        "a write the instrument does not answer ends the command.")},
        {QStringLiteral("eeprom"), {}, {}, QStringLiteral("eeprom save|load|factory"),
         QStringLiteral("save: stores the working settings in the EEPROM; load: takes the working settings from the\n"
                        "EEPROM; factory: the factory defaults. A refused or unanswered command is an error.")},
        {QStringLiteral("backup"), {}, {}, QStringLiteral("backup FILE"),
         QStringLiteral("Writes every setting to FILE, a text file of CODE=value lines.")},
        {QStringLiteral("restore"), {}, {}, QStringLiteral("restore FILE"),
         QStringLiteral("Writes every setting of a backup, reads each back and lists every difference.\n"
                        "The working settings change; run \"eeprom save\" to keep them.")},
        {QStringLiteral("flash"),
         {QStringLiteral("--no-erase"), QStringLiteral("--no-verify"), QStringLiteral("--verify-only")},
         {QStringLiteral("--backup")},
         QStringLiteral("flash [--backup COPY.hex] [--no-erase] [--no-verify | --verify-only] FILE.hex"),
         QStringLiteral("Starts the boot loader, erases, programs and verifies the application, then starts it.\n"
                        "The image is checked completely before anything is sent. --backup first reads the\n"
                        "application into COPY.hex.")},
        {QStringLiteral("read-flash"), {}, {QStringLiteral("-o")}, QStringLiteral("read-flash -o FILE.hex"),
         QStringLiteral("Reads the application area into an Intel HEX file (without its erased end).")},
        {QStringLiteral("fuses"), {QStringLiteral("--force")}, {QStringLiteral("--fuse"), QStringLiteral("--lock")},
         QStringLiteral("fuses [--fuse HEX] [--lock HEX] [--force]"),
         QStringLiteral("Prints the fuse and lock bits; given values are written first and read back.\n"
                        "Without --force, fuse bits other than those read and lock bits that lock the boot loader\n"
                        "out of the application (BLB01 or BLB02 cleared) are refused.")},
        {QStringLiteral("download"), {}, {QStringLiteral("-o"), QStringLiteral("--comment")},
         QStringLiteral("download -o FILE.csv [--comment TEXT]"),
         QStringLiteral("Saves the record stored in the instrument as a record file.")},
        {QStringLiteral("record"), {QStringLiteral("--stop-when-full")},
         {QStringLiteral("--interval"), QStringLiteral("--minutes"), QStringLiteral("-o"), QStringLiteral("--comment"),
          QStringLiteral("--reconnect-timeout")},
         QStringLiteral("record --interval S --minutes M -o FILE.csv [--comment TEXT] [--stop-when-full]\n"
                        "                   [--reconnect-timeout SECONDS]"),
         QStringLiteral("Samples the pack voltage every S seconds into a record of M minutes, which doubles its time\n"
                        "when full; with --stop-when-full the record ends and is saved when its time is up.\n"
                        "Ctrl+C stops it and saves what was recorded. When the instrument is unplugged the record\n"
                        "goes on with gaps; after --reconnect-timeout seconds away (default 60) it ends with\n"
                        "status 5, still saving what was recorded.")},
        {QStringLiteral("report"), {QStringLiteral("--no-history")}, {QStringLiteral("--pack"), QStringLiteral("--profile")},
         QStringLiteral("report [--pack LABEL] [--profile A|B] [--no-history]"),
         QStringLiteral("Prints the battery report as RNV=, RLV= and RIM= lines and keeps it as a row of the battery\n"
                        "history (with the pack label and the name of profile A or B), unless --no-history.")},
        {QStringLiteral("plot"), {}, {QStringLiteral("-o"), QStringLiteral("--limits"), QStringLiteral("--size")},
         QStringLiteral("plot RECORD.csv [RECORD.csv...] -o FILE.png|FILE.svg [--limits HIGH,WARN,LOW] [--size WxH]"),
         QStringLiteral("Draws the record files as the Record tab does, the first as the record and the others laid\n"
                        "over it from their start, with limit lines when given (800x500 pixels by default).\n"
                        "Needs no instrument and no display.")},
    };
    return list;
}

const CommandEntry* find(const QString& name)
{
    for (const CommandEntry& c : commands()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

} // namespace

Arguments parseArguments(const QStringList& arguments)
{
    Arguments parsed;
    // The command is the first word that is neither an option nor an option's value.
    QStringList allValued = kGlobalValued;
    for (const CommandEntry& c : commands())
        allValued += c.valued;
    for (int i = 0; i < arguments.size(); ++i) {
        if (allValued.contains(arguments[i])) {
            ++i;
        } else if (!arguments[i].startsWith(QLatin1Char('-'))) {
            parsed.command = arguments[i];
            break;
        }
    }
    const CommandEntry* entry = find(parsed.command);
    if (!parsed.command.isEmpty() && !entry) {
        parsed.error = QStringLiteral("unknown command \"%1\"").arg(parsed.command);
        return parsed;
    }
    const QStringList valued = kGlobalValued + (entry ? entry->valued : QStringList());
    const QStringList switches = kGlobalSwitches + (entry ? entry->switches : QStringList());
    bool commandSeen = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            parsed.help = true;
        } else if (arg == QLatin1String("--version")) {
            parsed.version = true;
        } else if (valued.contains(arg)) {
            if (i + 1 >= arguments.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(arg);
                return parsed;
            }
            parsed.options[arg] = arguments[++i];
        } else if (switches.contains(arg)) {
            parsed.options[arg] = QString();
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
    const QString global = QStringLiteral(
        "Options of every command:\n"
        "  --port N       the port numbered N, as in the window (default 1); auto: the port where\n"
        "                 exactly one Quarvel answers (every port is asked, one at a time)\n"
        "  --device PATH  this serial device instead of a port number\n"
        "  --baud RATE    the instrument's speed (default 9600)\n"
        "  --config DIR   the folder whose com<N> links name the ports (default: the window's)\n"
        "  --wait SECONDS wait that long for the port to appear (with --port auto: for a Quarvel to\n"
        "                 answer on a port that appears) before ending with status 3; Ctrl+C while\n"
        "                 waiting ends with 130 and sends nothing more\n"
        "  --quiet        no progress or reports, only results and errors\n"
        "  --help         this text\n"
        "  --version      the program's version\n"
        "Exit status: 0 done, 2 bad arguments or input file (nothing sent), 3 no instrument found,\n"
        "4 refused or mismatched data, 5 port or time-out failure; flash and fuses: 130 Ctrl+C or hang-up,\n"
        "143 SIGTERM (stopped before changing anything, or after finishing).\n");
    if (const CommandEntry* entry = find(command))
        return QStringLiteral("usage: quarvel-cli %1\n%2\n\n%3").arg(entry->synopsis, entry->help, global);
    QString text = QStringLiteral("usage: quarvel-cli COMMAND [options]\nCommands:\n");
    for (const CommandEntry& c : commands())
        text += QStringLiteral("  %1\n").arg(c.synopsis);
    return text + QStringLiteral("\"quarvel-cli COMMAND --help\" describes one command.\n\n") + global;
}

} // namespace quarvel::cli
