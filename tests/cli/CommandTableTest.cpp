// The table of quarvel-cli's commands and options against what describes them to a user: the
// manual page, the README's status table and the bash completion. Whatever one of them lacks, or
// has that the program does not, fails here.
#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel::cli;
using namespace quarvel::test;

namespace {

QString sourceFile(const QString& path)
{
    return QStringLiteral(QUARVEL_SOURCE_DIR "/") + path;
}

// The words of a roff macro line after the macro, a quoted text being one word, without font
// changes and with escaped hyphens as hyphens.
QStringList macroWords(const QString& line)
{
    static const QRegularExpression word(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
    static const QRegularExpression fonts(QStringLiteral("\\\\f[RPBI]"));
    QStringList words;
    for (const auto& m : word.globalMatch(line.section(QLatin1Char(' '), 1))) {
        QString text = m.captured(1) + m.captured(2);
        words << text.remove(fonts).replace(QStringLiteral("\\-"), QStringLiteral("-")).trimmed();
    }
    return words;
}

// What the manual page describes under .TP: "COMMANDS flash", "OPTIONS flash --backup" (an option
// of single commands names them on its next line, ".RB ( download ", " record )"; "-": every
// command), "VALUE flash --backup COPY.hex" (a value in italics), "EXIT STATUS 6".
QSet<QString> described(const QString& page)
{
    QSet<QString> found;
    QString section;
    const QStringList lines = page.split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String(".SH ")))
            section = lines[i].mid(4);
        if (lines[i] != QLatin1String(".TP") || section == QLatin1String("FILES"))
            continue;
        const QStringList words = macroWords(lines[i + 1]);
        if (section != QLatin1String("OPTIONS")) {
            found << section + QLatin1Char(' ') + words.value(0).section(QLatin1Char(' '), 0, 0);
            continue;
        }
        QStringList scopes{QStringLiteral("-")};
        if (lines.value(i + 2).startsWith(QLatin1String(".RB (")))
            scopes = macroWords(lines[i + 2]).filter(QRegularExpression(QStringLiteral("^[a-z-]+$")));
        for (const QString& scope : scopes) {
            found << QStringLiteral("OPTIONS %1 %2").arg(scope, words.value(0));
            if (lines[i + 1].startsWith(QLatin1String(".BI ")))
                found << QStringLiteral("VALUE %1 %2 %3").arg(scope, words.value(0), words.value(1));
        }
    }
    return found;
}

QString difference(const QSet<QString>& program, const QSet<QString>& described)
{
    return "not described: " + (program - described).values().join(", ") +
           "; described but not in the program: " + (described - program).values().join(", ");
}

} // namespace

class CommandTableTest : public QObject {
    Q_OBJECT
private slots:
    void manPageAndReadme_describeEveryCommandOptionAndStatus();
    void completion_offersEveryCommandOptionAndFileKind();
    void arguments_secondsMustBeAFiniteNumber();
};

void CommandTableTest::manPageAndReadme_describeEveryCommandOptionAndStatus()
{
    QSet<QString> program;
    const auto addOptions = [&](const QString& scope, const QList<OptionSpec>& options) {
        for (const OptionSpec& o : options) {
            program << QStringLiteral("OPTIONS %1 %2").arg(scope, o.name);
            if (!o.value.isEmpty())
                program << QStringLiteral("VALUE %1 %2 %3").arg(scope, o.name, o.value);
        }
    };
    addOptions(QStringLiteral("-"), globalOptions());
    for (const CommandSpec& c : commandTable()) {
        program << QStringLiteral("COMMANDS ") + c.name;
        addOptions(c.name, c.options);
    }
    QSet<QString> statuses;
    for (const StatusSpec& s : exitStatusTable())
        statuses << QString::number(s.status);
    for (const QString& status : statuses)
        program << QStringLiteral("EXIT STATUS ") + status;
    const QSet<QString> manPage = described(QString::fromUtf8(readFile(sourceFile("packaging/man/quarvel-cli.1.in"))));
    QVERIFY2(manPage == program, qPrintable(difference(program, manPage)));

    // The README's rows under "| exit status | meaning |", such as "| 130, 143 | ... |".
    const QString readme = QString::fromUtf8(readFile(sourceFile("README.md")));
    const qsizetype table = readme.indexOf(QLatin1String("| exit status | meaning |"));
    QVERIFY(table >= 0);
    QSet<QString> listed;
    for (const QString& row : readme.mid(table).split(QLatin1Char('\n')).mid(2)) {
        if (!row.startsWith(QLatin1String("| ")))
            break;
        for (const QString& status : row.section(QLatin1Char('|'), 1, 1).split(QLatin1Char(',')))
            listed << status.trimmed();
    }
    QVERIFY2(listed == statuses, qPrintable(difference(statuses, listed)));
}

void CommandTableTest::completion_offersEveryCommandOptionAndFileKind()
{
    // The completion reads the usage texts, here from files; bash-completion's two helpers are
    // stand-ins that show what they were asked for.
    QTemporaryDir dir;
    writeFile(dir.filePath("general.txt"), usage({}).toUtf8());
    QStringList lines{"quarvel-cli ", "quarvel-cli --port 2 --quiet "};
    QStringList commands;
    for (const CommandSpec& c : commandTable())
        commands << c.name;
    QList<QStringList> expected{commands, commands};
    for (const CommandSpec& c : commandTable()) {
        writeFile(dir.filePath(c.name + ".txt"), usage(c.name).toUtf8());
        lines << "quarvel-cli " + c.name + " -";
        expected.append(QStringList());
        for (const OptionSpec& o : globalOptions() + c.options)
            expected.back() << o.name;
    }
    const QList<QPair<QString, QStringList>> values{
        {"read-flash -o ", {"files:hex"}},      {"flash --backup ", {"files:hex"}},
        {"flash --no-erase ", {"files:hex"}},   {"--quiet download -o ", {"files:csv"}},
        {"plot -o ", {"files:png|svg"}},        {"plot ", {"files:csv"}},
        {"restore ", {"files:any"}},            {"--config ", {"files:-d"}},
        {"eeprom ", {"save", "load", "factory"}}, {"report --profile ", {"A", "B"}},
        {"get ", {}}};
    for (const auto& [line, offered] : values) {
        lines << "quarvel-cli " + line;
        expected << offered;
    }
    for (QStringList& e : expected)
        e.sort();
    const QString script = QStringLiteral(R"bash(
shopt -s extglob
_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
_filedir() { COMPREPLY+=("files:${1-any}"); }
source "$1"
usage=$2
_quarvel_cli_usage() { cat "$usage/${2:-general}.txt"; }
while IFS= read -r line; do
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _quarvel_cli quarvel-cli
    printf '%s\n' "$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)"
done
)bash");
    QProcess bash;
    bash.setWorkingDirectory(dir.path());
    writeFile(dir.filePath("C"), "a file a glob of \"[CODE...]\" would find");
    bash.start("bash", {"-c", script, "completion", sourceFile("packaging/quarvel-cli.bash"), dir.path()});
    bash.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    bash.closeWriteChannel();
    QVERIFY(bash.waitForFinished(60000));
    const QStringList answers = QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'));
    QVERIFY2(bash.exitCode() == 0 && answers.size() > lines.size(), bash.readAllStandardError().constData());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(answers[i] == expected[i].join(QLatin1Char(' ')),
                 qPrintable(QStringLiteral("\"%1\" offered \"%2\"").arg(lines[i], answers[i])));
}

void CommandTableTest::arguments_secondsMustBeAFiniteNumber()
{
    for (const QString seconds : {"nan", "inf", "-1", "soon", "0", "2.5"}) {
        const Arguments parsed = parseArguments({"record", "--reconnect-timeout", seconds, "-o", "x.csv"});
        const bool accepted = seconds == QLatin1String("0") || seconds == QLatin1String("2.5");
        QVERIFY2(parsed.error.isEmpty() == accepted, qPrintable(seconds + QStringLiteral(": ") + parsed.error));
        QVERIFY(accepted || parsed.error.contains(QStringLiteral("--reconnect-timeout ") + seconds));
    }
}

QTEST_GUILESS_MAIN(CommandTableTest)
#include "CommandTableTest.moc"
