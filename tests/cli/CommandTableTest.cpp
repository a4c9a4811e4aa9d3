// The table of quarvel-cli's commands and options against what describes them to a user: the
// manual page, the README's status table and the bash completion. Whatever one of them lacks, or
// has that the program does not, fails here.
#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::cli;
using namespace quarvel::test;

namespace {

QString sourceFile(const QString& path)
{
    return QStringLiteral(QUARVEL_SOURCE_DIR "/") + path;
}

// A roff line without its font changes and with its escaped hyphens as hyphens.
QString plain(QString text)
{
    static const QRegularExpression fonts(QStringLiteral("\\\\f[RPBI]"));
    return text.remove(fonts).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

// The words of a macro line after the macro, a quoted text being one word.
QStringList macroWords(const QString& line)
{
    static const QRegularExpression word(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
    QStringList words;
    for (const auto& match : word.globalMatch(line.section(QLatin1Char(' '), 1)))
        words << plain(match.hasCaptured(1) ? match.captured(1) : match.captured(2)).trimmed();
    return words;
}

// One item of a section: the heading line under ".TP" and the line after it.
struct ManItem {
    QString macro;
    QStringList words;
    QString next;
};

QMap<QString, QList<ManItem>> manItems(const QString& page)
{
    QMap<QString, QList<ManItem>> sections;
    QString section;
    const QStringList lines = page.split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String(".SH ")))
            section = lines[i].mid(4);
        else if (lines[i] == QLatin1String(".TP"))
            sections[section].append({lines[i + 1].section(QLatin1Char(' '), 0, 0), macroWords(lines[i + 1]),
                                      i + 2 < lines.size() ? lines[i + 2] : QString()});
    }
    return sections;
}

QString scoped(const QString& command, const QString& option)
{
    return (command.isEmpty() ? QStringLiteral("(every command)") : command) + QLatin1Char(' ') + option;
}

// What is in one set and not in the other, for the failure message.
QString difference(const QSet<QString>& program, const QSet<QString>& described)
{
    QStringList missing = (program - described).values();
    QStringList extra = (described - program).values();
    missing.sort();
    extra.sort();
    return QStringLiteral("not described: [%1]; described but not in the program: [%2]")
        .arg(missing.join(QStringLiteral(", ")), extra.join(QStringLiteral(", ")));
}

QSet<QString> tableStatuses()
{
    QSet<QString> statuses;
    for (const StatusSpec& s : exitStatusTable())
        statuses << QString::number(s.status);
    return statuses;
}

} // namespace

class CommandTableTest : public QObject {
    Q_OBJECT
private slots:
    void manPageAndReadme_describeEveryCommandOptionAndStatus();
    void completion_offersEveryCommandOptionAndFileKind();
    void arguments_secondsMustBeAFiniteNumber_data();
    void arguments_secondsMustBeAFiniteNumber();
};

void CommandTableTest::manPageAndReadme_describeEveryCommandOptionAndStatus()
{
    const auto sections = manItems(QString::fromUtf8(readFile(sourceFile("packaging/man/quarvel-cli.1.in"))));
    QVERIFY(!sections.isEmpty());

    QSet<QString> commands;
    QSet<QString> options;
    QMap<QString, QString> values; // "flash --backup" -> "COPY.hex"
    for (const OptionSpec& o : globalOptions()) {
        options << scoped({}, o.name);
        values[scoped({}, o.name)] = o.value;
    }
    for (const CommandSpec& c : commandTable()) {
        commands << c.name;
        for (const OptionSpec& o : c.options) {
            options << scoped(c.name, o.name);
            values[scoped(c.name, o.name)] = o.value;
        }
    }

    QSet<QString> manCommands;
    for (const ManItem& item : sections.value(QStringLiteral("COMMANDS")))
        manCommands << item.words.value(0).section(QLatin1Char(' '), 0, 0);
    QVERIFY2(manCommands == commands, qPrintable(difference(commands, manCommands)));

    // An option of single commands names them on the line after it: .RB ( download ", " record )
    QSet<QString> manOptions;
    for (const ManItem& item : sections.value(QStringLiteral("OPTIONS"))) {
        QStringList scopes{QString()};
        if (item.next.startsWith(QLatin1String(".RB (")))
            scopes = plain(item.next).remove(QRegularExpression(QStringLiteral("^\\.RB \\(|[\",)]"))).split(
                QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& scope : scopes) {
            const QString key = scoped(scope, item.words.value(0));
            manOptions << key;
            // A value in italics is the value's name in the usage: the same name.
            if (item.macro == QLatin1String(".BI") && values.contains(key))
                QVERIFY2(item.words.value(1) == values[key], qPrintable(key + QStringLiteral(" ") + item.words.value(1)));
        }
    }
    QVERIFY2(manOptions == options, qPrintable(difference(options, manOptions)));

    QSet<QString> manStatuses;
    for (const ManItem& item : sections.value(QStringLiteral("EXIT STATUS")))
        manStatuses << item.words.value(0);
    QVERIFY2(manStatuses == tableStatuses(), qPrintable(difference(tableStatuses(), manStatuses)));

    // The README's table: "| 130, 143 | ..." rows under "| exit status | meaning |".
    const QString readme = QString::fromUtf8(readFile(sourceFile("README.md")));
    const qsizetype table = readme.indexOf(QLatin1String("| exit status | meaning |"));
    QVERIFY(table >= 0);
    QSet<QString> readmeStatuses;
    for (const QString& row : readme.mid(table).split(QLatin1Char('\n')).mid(2)) {
        if (!row.startsWith(QLatin1String("| ")))
            break;
        for (const QString& status : row.section(QLatin1Char('|'), 1, 1).split(QLatin1Char(',')))
            readmeStatuses << status.trimmed();
    }
    QVERIFY2(readmeStatuses == tableStatuses(), qPrintable(difference(tableStatuses(), readmeStatuses)));
}

void CommandTableTest::completion_offersEveryCommandOptionAndFileKind()
{
    // The completion reads the usage texts; here they come from files, and bash-completion's two
    // helpers are stand-ins that show what they were asked for.
    QTemporaryDir dir;
    writeFile(dir.filePath("general.txt"), usage({}).toUtf8());
    for (const CommandSpec& c : commandTable())
        writeFile(dir.filePath(c.name + ".txt"), usage(c.name).toUtf8());
    const QString script = QStringLiteral(R"bash(
shopt -s extglob
_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
_filedir() { COMPREPLY+=("files:${1-any}"); }
source "$1"
_quarvel_cli_usage() { cat "$USAGE/${2:-general}.txt"; }
while IFS= read -r line; do
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _quarvel_cli quarvel-cli
    printf '%s\n' "$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)"
done
)bash");

    QStringList lines;
    QStringList expected;
    const auto ask = [&](const QString& line, QStringList offered) {
        offered.sort();
        lines << line;
        expected << offered.join(QLatin1Char(' '));
    };
    QStringList commands;
    for (const CommandSpec& c : commandTable())
        commands << c.name;
    QStringList global;
    for (const OptionSpec& o : globalOptions())
        global << o.name;
    ask(QStringLiteral("quarvel-cli "), commands);
    ask(QStringLiteral("quarvel-cli --port 2 --quiet "), commands);
    for (const CommandSpec& c : commandTable()) {
        QStringList own = global;
        for (const OptionSpec& o : c.options)
            own << o.name;
        ask(QStringLiteral("quarvel-cli ") + c.name + QStringLiteral(" -"), own);
    }
    ask(QStringLiteral("quarvel-cli read-flash -o "), {QStringLiteral("files:hex")});
    ask(QStringLiteral("quarvel-cli flash --backup "), {QStringLiteral("files:hex")});
    ask(QStringLiteral("quarvel-cli flash --no-erase "), {QStringLiteral("files:hex")});
    ask(QStringLiteral("quarvel-cli --quiet download -o "), {QStringLiteral("files:csv")});
    ask(QStringLiteral("quarvel-cli record --interval 1 -o "), {QStringLiteral("files:csv")});
    ask(QStringLiteral("quarvel-cli plot -o "), {QStringLiteral("files:png|svg")});
    ask(QStringLiteral("quarvel-cli plot "), {QStringLiteral("files:csv")});
    ask(QStringLiteral("quarvel-cli restore "), {QStringLiteral("files:any")});
    ask(QStringLiteral("quarvel-cli --config "), {QStringLiteral("files:-d")});
    ask(QStringLiteral("quarvel-cli eeprom "), {QStringLiteral("factory"), QStringLiteral("load"), QStringLiteral("save")});
    ask(QStringLiteral("quarvel-cli report --profile "), {QStringLiteral("A"), QStringLiteral("B")});
    ask(QStringLiteral("quarvel-cli get "), {});

    QProcess bash;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("USAGE"), dir.path());
    bash.setProcessEnvironment(environment);
    bash.setWorkingDirectory(dir.path()); // files named like a pattern's letters must not turn up
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script, QStringLiteral("completion"),
                                        sourceFile("packaging/quarvel-cli.bash")});
    bash.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    bash.closeWriteChannel();
    QVERIFY(bash.waitForFinished(60000));
    QVERIFY2(bash.exitCode() == 0, bash.readAllStandardError().constData());
    const QStringList answers = QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'));
    QVERIFY2(answers.size() > lines.size(), bash.readAllStandardError().constData());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(answers[i] == expected[i],
                 qPrintable(QStringLiteral("\"%1\" offered \"%2\", not \"%3\"").arg(lines[i], answers[i], expected[i])));
}

void CommandTableTest::arguments_secondsMustBeAFiniteNumber_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("nan") << "nan" << false;
    QTest::newRow("infinite") << "inf" << false;
    QTest::newRow("negative") << "-1" << false;
    QTest::newRow("text") << "soon" << false;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("fraction") << "2.5" << true;
}

void CommandTableTest::arguments_secondsMustBeAFiniteNumber()
{
    QFETCH(QString, seconds);
    QFETCH(bool, accepted);
    const Arguments parsed = parseArguments({QStringLiteral("record"), QStringLiteral("--reconnect-timeout"), seconds,
                                             QStringLiteral("-o"), QStringLiteral("x.csv")});
    QCOMPARE(parsed.error.isEmpty(), accepted);
    if (!accepted)
        QVERIFY2(parsed.error.contains(QStringLiteral("--reconnect-timeout ") + seconds), qPrintable(parsed.error));
}

QTEST_GUILESS_MAIN(CommandTableTest)
#include "CommandTableTest.moc"
