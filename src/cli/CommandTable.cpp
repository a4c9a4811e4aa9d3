#include "cli/CommandTable.h"

#include "cli/Commands.h"
#include "cli/ExitStatus.h"

#include <QStringList>

namespace quarvel::cli {

namespace {

OptionSpec required(OptionSpec option)
{
    option.required = true;
    return option;
}

const OptionSpec kRecordFile{QStringLiteral("-o"), QStringLiteral("FILE.csv"), QStringLiteral("the record file to write")};
const OptionSpec kComment{QStringLiteral("--comment"), QStringLiteral("TEXT"),
                          QStringLiteral("the comment kept in the record file")};

} // namespace

const QList<OptionSpec>& globalOptions()
{
    static const QList<OptionSpec> list{
        {QStringLiteral("--port"), QStringLiteral("N"),
         QStringLiteral("the port numbered N, as in the window (default 1); auto: the port where\n"
                        "exactly one Quarvel answers (every port is asked, one at a time)")},
        {QStringLiteral("--device"), QStringLiteral("PATH"), QStringLiteral("this serial device instead of a port number")},
        {QStringLiteral("--baud"), QStringLiteral("RATE"), QStringLiteral("the instrument's speed (default 9600)")},
        {QStringLiteral("--config"), QStringLiteral("DIR"),
         QStringLiteral("the folder whose com<N> links name the ports (default: the window's)")},
        {QStringLiteral("--wait"), QStringLiteral("SECONDS"),
         QStringLiteral("wait that long for the port to appear (with --port auto: for a Quarvel to\n"
                        "answer on a port that appears) before ending with status 3; Ctrl+C while\n"
                        "waiting ends with 130 and sends nothing more"),
         false, ValueKind::Seconds},
        {QStringLiteral("--quiet"), {}, QStringLiteral("no progress or reports, only results and errors")},
        {QStringLiteral("--help"), {}, QStringLiteral("this text (also -h)")},
        {QStringLiteral("--version"), {}, QStringLiteral("the program's version")},
    };
    return list;
}

const QList<CommandSpec>& commandTable()
{
    static const QList<CommandSpec> list{
        {QStringLiteral("ports"), runPorts, {},
         {{QStringLiteral("--probe"), {},
           QStringLiteral("asks each port, one at a time and for about a second, whether a Quarvel\n"
                          "answers, and adds its identification (or \"-\")")}},
         QStringLiteral("Lists the serial ports, one a line: port number (- when none names it), device,\n"
                        "description and identity, separated by tabs.")},
        {QStringLiteral("identify"), runIdentify, {}, {}, QStringLiteral("Prints the instrument's identification text.")},
        {QStringLiteral("get"), runGet, QStringLiteral("[CODE...]"), {},
         QStringLiteral("Prints CODE=value for the given parameter codes, or for every setting and the three\n"
                        "report values.")},
        {QStringLiteral("set"), runSet, QStringLiteral("CODE=VALUE..."), {},
         QStringLiteral("Writes the settings in the order given and reports each value the instrument refuses;\n"
                        "a write the instrument does not answer ends the command.")},
        {QStringLiteral("eeprom"), runEeprom, QStringLiteral("save|load|factory"), {},
         QStringLiteral("save: stores the working settings in the EEPROM; load: takes the working settings from\n"
                        "the EEPROM; factory: the factory defaults. Each is done only when the instrument answers\n"
                        "with the echo of the command; a refused or unanswered command is an error.")},
        {QStringLiteral("backup"), runBackup, QStringLiteral("FILE"), {},
         QStringLiteral("Writes every setting to FILE, a text file of CODE=value lines.")},
        {QStringLiteral("restore"), runRestore, QStringLiteral("FILE"), {},
         QStringLiteral("Writes every setting of a backup, reads each back and lists every difference.\n"
                        "The working settings change; run \"eeprom save\" to keep them.")},
        {QStringLiteral("flash"), runFlash, QStringLiteral("FILE.hex"),
         {{QStringLiteral("--backup"), QStringLiteral("COPY.hex"),
           QStringLiteral("first reads the application into COPY.hex; when it cannot be written,\n"
                          "nothing is erased")},
          {QStringLiteral("--no-erase"), {}, QStringLiteral("programs without erasing the application area first")},
          {QStringLiteral("--no-verify"), {}, QStringLiteral("programs without verifying afterwards")},
          {QStringLiteral("--verify-only"), {},
           QStringLiteral("only compares the flash with the image (not with --no-erase or --no-verify)")}},
         QStringLiteral("Starts the boot loader, erases, programs and verifies the application, then starts it.\n"
                        "The image is checked completely before anything is sent.")},
        {QStringLiteral("read-flash"), runReadFlash, {},
         {required({QStringLiteral("-o"), QStringLiteral("FILE.hex"), QStringLiteral("the Intel HEX file to write")})},
         QStringLiteral("Reads the application area into an Intel HEX file (without its erased end).")},
        {QStringLiteral("fuses"), runFuses, {},
         {{QStringLiteral("--fuse"), QStringLiteral("HEX"), QStringLiteral("writes these fuse bits first")},
          {QStringLiteral("--lock"), QStringLiteral("HEX"), QStringLiteral("writes these lock bits first")},
          {QStringLiteral("--force"), {}, QStringLiteral("lets fuse bits other than those read be written")},
          {QStringLiteral("--allow-loader-lockout"), {},
           QStringLiteral("lets lock bits that lock the boot loader out of the application\n"
                          "(BLB01 or BLB02 cleared) be written; only an ISP programmer undoes them")}},
         QStringLiteral("Prints the fuse and lock bits; given values are written first and read back.\n"
                        "Fuse bits other than those read need --force; lock bits that lock the boot loader\n"
                        "out need --allow-loader-lockout. Without them nothing is written.")},
        {QStringLiteral("download"), runDownload, {}, {required(kRecordFile), kComment},
         QStringLiteral("Saves the record stored in the instrument as a record file.")},
        {QStringLiteral("record"), runRecord, {},
         {required({QStringLiteral("--interval"), QStringLiteral("S"), QStringLiteral("seconds between samples")}),
          required({QStringLiteral("--minutes"), QStringLiteral("M"), QStringLiteral("the record's total time in minutes")}),
          required(kRecordFile), kComment,
          {QStringLiteral("--stop-when-full"), {},
           QStringLiteral("ends the record and saves it when its time is up, instead of doubling it")},
          {QStringLiteral("--reconnect-timeout"), QStringLiteral("SECONDS"),
           QStringLiteral("how long an unplugged instrument is waited for (default 60)"), false, ValueKind::Seconds}},
         QStringLiteral("Samples the pack voltage every S seconds into a record of M minutes, which doubles its\n"
                        "time when full. Ctrl+C stops it and saves what was recorded. When the instrument is\n"
                        "unplugged the record goes on with gaps; after --reconnect-timeout seconds away it ends\n"
                        "with status 5, still saving what was recorded.")},
        {QStringLiteral("report"), runReport, {},
         {{QStringLiteral("--pack"), QStringLiteral("LABEL"), QStringLiteral("the pack the report is kept under")},
          {QStringLiteral("--profile"), QStringLiteral("A|B"),
           QStringLiteral("the profile whose name the history row holds (default A)")},
          {QStringLiteral("--no-history"), {}, QStringLiteral("prints the report without keeping it")}},
         QStringLiteral("Prints the battery report as RNV=, RLV= and RIM= lines and keeps it as a row of the\n"
                        "battery history.")},
        {QStringLiteral("plot"), runPlot, QStringLiteral("RECORD.csv [RECORD.csv...]"),
         {required({QStringLiteral("-o"), QStringLiteral("FILE.png|FILE.svg"),
                     QStringLiteral("the image to write; its ending chooses the format")}),
          {QStringLiteral("--limits"), QStringLiteral("HIGH,WARN,LOW"), QStringLiteral("limit lines at these volts")},
          {QStringLiteral("--size"), QStringLiteral("WxH"), QStringLiteral("the image in pixels (default 800x500)")}},
         QStringLiteral("Draws the record files as the Record tab does, the first as the record and the others\n"
                        "laid over it from their start. Needs no instrument and no display.")},
    };
    return list;
}

const QList<StatusSpec>& exitStatusTable()
{
    static const QList<StatusSpec> list{
        {kDone, QStringLiteral("done")},
        {kBadInput, QStringLiteral("bad arguments or input file (image, backup, record settings, output folder):\n"
                                   "nothing was sent; or a flash --backup copy that cannot be written whole:\n"
                                   "nothing was erased or programmed")},
        {kNotFound, QStringLiteral("the port opened but no Quarvel answered; --port auto found none or several;\n"
                                   "--wait ran out")},
        {kRefused, QStringLiteral("refused or mismatched data: a value or save refused, a verify or restore that\n"
                                  "differs, bits that read back otherwise, no stored record")},
        {kPortFailure, QStringLiteral("no answer: the port does not open or is lost, the instrument or its boot\n"
                                      "loader does not answer")},
        {kOutputNotWritten, QStringLiteral("the work with the instrument was done, but its result could not be\n"
                                           "written to the file named; the message says what was done")},
        {130, QStringLiteral("flash or fuses interrupted by Ctrl+C or a hang-up: stopped before changing\n"
                             "anything, or after finishing the work")},
        {143, QStringLiteral("the same for SIGTERM")},
    };
    return list;
}

const CommandSpec* findCommand(const QString& name)
{
    for (const CommandSpec& c : commandTable()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

QString synopsis(const CommandSpec& command)
{
    QStringList words{command.name};
    for (const OptionSpec& option : command.options) {
        const QString word = option.value.isEmpty() ? option.name : option.name + QLatin1Char(' ') + option.value;
        words << (option.required ? word : QLatin1Char('[') + word + QLatin1Char(']'));
    }
    if (!command.operands.isEmpty())
        words << command.operands;
    return words.join(QLatin1Char(' '));
}

} // namespace quarvel::cli
