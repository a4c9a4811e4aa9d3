// quarvel-cli as a script runs it: a separate process against the virtual instrument program on a
// pseudo-terminal, judged by its exit status, its output and the files it leaves.
#include "recorder/RecordFileReader.h"
#include "support/SimProcess.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cmath>
#include <memory>
#include <vector>

using namespace quarvel;
using namespace quarvel::test;

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs quarvel-cli on the simulator's com1 (or on whatever --device the arguments name), with
// environment settings added to its own. A command that does not start, or still runs after two
// minutes (then stopped), fails the test with its own message and has status -1.
Run cli(const SimProcess& sim, const QStringList& arguments, const QStringList& environment = {})
{
    QProcess process;
    process.setEnvironment(QProcess::systemEnvironment() + environment);
    process.start(qEnvironmentVariable("QUARVEL_CLI"),
                  QStringList{QStringLiteral("--config"), sim.configFolder()} + arguments);
    const bool finished = process.waitForFinished(120000);
    if (!finished) {
        const QString what = process.error() == QProcess::FailedToStart
            ? QStringLiteral("could not be started: ") + process.errorString()
            : QStringLiteral("still ran after 120 s and was stopped");
        process.kill();
        process.waitForFinished(5000);
        QTest::qFail(qPrintable(QStringLiteral("quarvel-cli %1 %2").arg(arguments.join(QLatin1Char(' ')), what)),
                     __FILE__, __LINE__);
    }
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// A full application image, 16 bytes a record; byte i is (7 i + 3) mod 256.
QByteArray imageBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 7680; ++i)
        bytes.append(static_cast<char>((7 * i + 3) & 0xFF));
    return bytes;
}

QByteArray hexLine(int address, int type, const QByteArray& data)
{
    QByteArray record;
    record.append(char(data.size())).append(char(address >> 8)).append(char(address & 0xFF)).append(char(type));
    record += data;
    int sum = 0;
    for (const char b : record)
        sum += static_cast<quint8>(b);
    record.append(static_cast<char>(-sum & 0xFF));
    return ':' + record.toHex().toUpper() + "\r\n";
}

QByteArray hexImage(const QByteArray& bytes, int base = 0)
{
    QByteArray text;
    for (int a = 0; a < bytes.size(); a += 16)
        text += hexLine(base + a, 0, bytes.mid(a, 16));
    return text + ":00000001FF\r\n";
}

// The setting lines of "get": every line but the three report values, which change by themselves.
QStringList settingLines(const QString& out)
{
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& l) { return l.startsWith(QLatin1Char('R')); });
    return lines;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void flash_hungUpWhileProgramming_isFinishedAndVerifies();
    void flash_interrupted_stopsOnlyWhereTheInstrumentIsWhole_data();
    void flash_interrupted_stopsOnlyWhereTheInstrumentIsWhole();
    void backupChangeRestore_givesTheOriginalSettings();
    void download_writesAFileTheWindowReads();
    void record_interrupted_savesTheRecordWithItsDoubledTime();
    void record_killed_leavesEverySampleWritten();
    void record_stopWhenFull_endsAndSavesWhenItsTimeIsUp();
    void record_throughUnplugAndReplug_thenAwayTooLong_savesWithGapsAndStatus5();
    void portsProbeAndPortAuto_withNoneOneOrTwoInstruments_data();
    void portsProbeAndPortAuto_withNoneOneOrTwoInstruments();
    void portAutoWait_asksThePortThatAppears();
    void report_keepsARowPerReport();
    void plot_drawsRecordsWithoutADisplay();
    void exitStatus_namesWhatHappened_data();
    void exitStatus_namesWhatHappened();

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
};

void CliTest::init()
{
    QVERIFY2(!qEnvironmentVariable("QUARVEL_CLI").isEmpty(), "QUARVEL_CLI names no program");
}

void CliTest::flash_hungUpWhileProgramming_isFinishedAndVerifies()
{
    SimProcess sim({QStringLiteral("--loader-flash-file"), path(QStringLiteral("flash.bin"))});
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    // 40 pages: the hang-up comes after the fourth, with seconds of work still to do.
    const QByteArray image = imageBytes().left(1280);
    writeFile(path(QStringLiteral("app.hex")), hexImage(image));

    // A hang-up while programming counts as Ctrl+C: the work is finished first, so the instrument
    // is not left in its loader, and the status then reports the interrupt.
    QProcess flash;
    flash.start(qEnvironmentVariable("QUARVEL_CLI"),
                {QStringLiteral("--config"), sim.configFolder(), QStringLiteral("flash"), path(QStringLiteral("app.hex"))});
    QString out;
    while (!out.contains(QStringLiteral("Programming: 10%")) && flash.state() != QProcess::NotRunning) {
        flash.waitForReadyRead(1000);
        out += QString::fromLocal8Bit(flash.readAllStandardOutput());
    }
    ::kill(static_cast<pid_t>(flash.processId()), SIGHUP);
    QVERIFY(flash.waitForFinished(120000));
    QCOMPARE(flash.exitStatus(), QProcess::NormalExit);
    QCOMPARE(flash.exitCode(), 130);
    QCOMPARE(readFile(path(QStringLiteral("flash.bin"))).left(image.size()), image);
    // Piped, progress comes as plain lines.
    QVERIFY((out + flash.readAllStandardOutput()).contains(QStringLiteral("Programming: 100%\n")));

    const Run verified = cli(sim, {QStringLiteral("flash"), QStringLiteral("--verify-only"), path(QStringLiteral("app.hex"))});
    QVERIFY2(verified.status == 0, qPrintable(verified.err));
    // The application runs again: the command channel answers.
    QCOMPARE(cli(sim, {QStringLiteral("identify")}).status, 0);
}

void CliTest::flash_interrupted_stopsOnlyWhereTheInstrumentIsWhole_data()
{
    QTest::addColumn<QString>("script"); // run by bash; $CLI is quarvel-cli on the simulator, $HEX the image
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("programmed");
    // The reader of the output goes away after its first line: the flash goes on to its end.
    QTest::newRow("output closed") << "$CLI flash $HEX | head -n 1; exit ${PIPESTATUS[0]}" << 0 << true;
    // SIGTERM while the boot loader starts: nothing has changed yet, so the command stops there.
    QTest::newRow("SIGTERM before the erase")
        << "coproc { exec $CLI flash $HEX; }; read -r line <&${COPROC[0]}; kill -TERM $COPROC_PID; wait $COPROC_PID"
        << 143 << false;
}

void CliTest::flash_interrupted_stopsOnlyWhereTheInstrumentIsWhole()
{
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(bool, programmed);
    QFile::remove(path(QStringLiteral("flash.bin")));
    SimProcess sim({QStringLiteral("--loader-flash-file"), path(QStringLiteral("flash.bin"))});
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    writeFile(path(QStringLiteral("app.hex")), hexImage(imageBytes().left(64)));
    QProcess bash;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CLI"), qEnvironmentVariable("QUARVEL_CLI") + QStringLiteral(" --config ") +
                                                  sim.configFolder());
    environment.insert(QStringLiteral("HEX"), path(QStringLiteral("app.hex")));
    bash.setProcessEnvironment(environment);
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    QVERIFY(bash.waitForFinished(60000));
    QVERIFY2(bash.exitCode() == status, bash.readAllStandardError().constData());
    QCOMPARE(readFile(path(QStringLiteral("flash.bin"))).left(64) == imageBytes().left(64), programmed);
    QCOMPARE(cli(sim, {QStringLiteral("identify")}).status, 0); // the application runs
}

void CliTest::backupChangeRestore_givesTheOriginalSettings()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const Run original = cli(sim, {QStringLiteral("get")});
    QCOMPARE(original.status, 0);
    const QString backup = path(QStringLiteral("settings.txt"));
    QCOMPARE(cli(sim, {QStringLiteral("backup"), backup}).status, 0);
    QVERIFY(readFile(backup).startsWith("# Quarvel settings backup; instrument: Quarvel V"));

    QCOMPARE(cli(sim, {QStringLiteral("set"), QStringLiteral("DRA=12"), QStringLiteral("sDM1=Changed")}).status, 0);
    const Run changed = cli(sim, {QStringLiteral("get"), QStringLiteral("DRA"), QStringLiteral("sDM1")});
    QCOMPARE(changed.out, QStringLiteral("DRA=12\nsDM1=Changed\n"));

    const Run restored = cli(sim, {QStringLiteral("restore"), backup});
    QVERIFY2(restored.status == 0, qPrintable(restored.err));
    QCOMPARE(settingLines(cli(sim, {QStringLiteral("get")}).out), settingLines(original.out));
}

void CliTest::download_writesAFileTheWindowReads()
{
    SimProcess sim({QStringLiteral("--record-length"), QStringLiteral("120")});
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const QString file = path(QStringLiteral("stored.csv"));
    // A system whose numbers have a decimal comma: the file keeps its decimal points.
    const Run run = cli(sim, {QStringLiteral("download"), QStringLiteral("-o"), file},
                        {QStringLiteral("LC_ALL=de_DE.UTF-8"), QStringLiteral("LANG=de_DE.UTF-8")});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY(readFile(file).contains("\r\n0.01666667,"));

    const RecordFileLoad load = RecordFileReader::load(file, {}, {});
    QVERIFY2(load.error.isEmpty(), qPrintable(load.error));
    QVERIFY(load.settings.has_value());
    QCOMPARE(load.labels.size(), 300); // 300 stored samples of the instrument's dwell time
    for (int i = 0; i < 300; ++i)
        QCOMPARE(load.values[i].has_value(), i < 120); // past the values sent: gaps
}

void CliTest::record_interrupted_savesTheRecordWithItsDoubledTime()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const QString file = path(QStringLiteral("live.csv"));
    QProcess process;
    process.start(qEnvironmentVariable("QUARVEL_CLI"),
                  {QStringLiteral("--config"), sim.configFolder(), QStringLiteral("record"), QStringLiteral("--interval"),
                   QStringLiteral("0.2"), QStringLiteral("--minutes"), QStringLiteral("0.01"), QStringLiteral("-o"), file});
    // A record of 0.01 minutes fills before the fourth sample and doubles its time; then Ctrl+C.
    QString out;
    while (!out.contains(QStringLiteral("\n4 ")) && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(1000);
        out += QString::fromLocal8Bit(process.readAllStandardOutput());
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);

    const RecordFileLoad load = RecordFileReader::load(file, {}, {});
    QVERIFY2(load.error.isEmpty(), qPrintable(load.error));
    QCOMPARE(load.minutesText, std::optional<QString>(QStringLiteral("0.02")));
    QVERIFY(load.values.size() >= 4);
    for (int i = 0; i < 4; ++i)
        QVERIFY(load.values[i].has_value());
}

void CliTest::record_killed_leavesEverySampleWritten()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const QString file = path(QStringLiteral("killed.csv"));
    writeFile(file, "an older file");
    QProcess process;
    process.start(qEnvironmentVariable("QUARVEL_CLI"),
                  {QStringLiteral("--config"), sim.configFolder(), QStringLiteral("record"), QStringLiteral("--interval"),
                   QStringLiteral("0.2"), QStringLiteral("--minutes"), QStringLiteral("0.01"), QStringLiteral("-o"), file});
    // A sample is in the file before its line is printed; the fifth comes after a doubling.
    QString out;
    while (!out.contains(QStringLiteral("\n5 ")) && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(1000);
        out += QString::fromLocal8Bit(process.readAllStandardOutput());
    }
    process.kill();
    QVERIFY(process.waitForFinished(30000));
    const RecordFileLoad load = RecordFileReader::load(file, {}, {});
    QVERIFY2(load.error.isEmpty(), qPrintable(load.error));
    QVERIFY2(load.minutesText != QStringLiteral("0.01"), qPrintable(load.minutesText.value_or("none"))); // doubled
    QVERIFY(load.values.size() >= 5);
    for (int i = 0; i < 5; ++i)
        QVERIFY(load.values[i].has_value());
}

void CliTest::record_stopWhenFull_endsAndSavesWhenItsTimeIsUp()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const QString file = path(QStringLiteral("full.csv"));
    const Run run = cli(sim, {QStringLiteral("record"), QStringLiteral("--interval"), QStringLiteral("0.25"),
                              QStringLiteral("--minutes"), QStringLiteral("0.025"), QStringLiteral("--stop-when-full"),
                              QStringLiteral("-o"), file});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const RecordFileLoad load = RecordFileReader::load(file, {}, {});
    QCOMPARE(load.minutesText, std::optional<QString>(QStringLiteral("0.025"))); // not doubled
    QCOMPARE(load.values.size(), size_t(6));
    for (const auto& value : load.values)
        QVERIFY(value.has_value());
}

void CliTest::record_throughUnplugAndReplug_thenAwayTooLong_savesWithGapsAndStatus5()
{
    SimProcess sim({QStringLiteral("--away"), QStringLiteral("600000")}); // back when told
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    // A second instrument where port 1 would fall back to while com1 dangles; any line ends it.
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("dev")));
    SimProcess other({QStringLiteral("--vanish-after"), QStringLiteral("1")}, QStringLiteral("ttyUSB0"), path("dev"));
    QVERIFY2(other.started(), qPrintable(other.error()));
    const QString file = path(QStringLiteral("unplugged.csv"));
    QProcess process;
    process.setEnvironment(QProcess::systemEnvironment() << "QUARVEL_DEVICE_FOLDER=" + path("dev"));
    process.start(qEnvironmentVariable("QUARVEL_CLI"),
                  {QStringLiteral("--config"), sim.configFolder(), QStringLiteral("record"), QStringLiteral("--interval"),
                   QStringLiteral("0.1"), QStringLiteral("--minutes"), QStringLiteral("1"),
                   QStringLiteral("--reconnect-timeout"), QStringLiteral("2"), QStringLiteral("-o"), file});
    QString out;
    const auto waitForOutput = [&](const QRegularExpression& pattern, int from = 0) {
        while (!pattern.match(out, from).hasMatch() && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(1000);
            out += QString::fromLocal8Bit(process.readAllStandardOutput());
        }
        return pattern.match(out, from).hasMatch();
    };
    const QRegularExpression sample(QStringLiteral("\\n\\d+ \\S+ min \\S+ V\\n"));
    QVERIFY(waitForOutput(QRegularExpression(QStringLiteral("\\n5 "))));
    sim.unplug();
    QVERIFY(waitForOutput(QRegularExpression(QStringLiteral("the instrument is away"))));
    const int firstSampleLost = int(out.count(sample)) + 1; // at least; the lines name the points
    QTest::qWait(1000);
    QVERIFY2(!out.contains(QStringLiteral("back (")) && QFileInfo::exists(path("dev/ttyUSB0")), qPrintable(out));
    sim.plugBackIn();
    QVERIFY(waitForOutput(QRegularExpression(QStringLiteral("back \\(Quarvel V"))));
    const int backAt = int(out.indexOf(QStringLiteral("back (")));
    QVERIFY(waitForOutput(sample, backAt));
    sim.unplug(); // and not back within 2 s
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 5);
    QVERIFY(QString::fromLocal8Bit(process.readAllStandardError()).contains(QStringLiteral("away for more than 2 s")));

    const RecordFileLoad load = RecordFileReader::load(file, {}, {});
    QVERIFY2(load.error.isEmpty(), qPrintable(load.error));
    const int resumedAt = sample.match(out, backAt).captured().section(QLatin1Char(' '), 0, 0).trimmed().toInt();
    for (int p = 1; p <= 4; ++p)
        QVERIFY(load.values[p - 1].has_value()); // recorded before the unplug
    for (int p = firstSampleLost + 1; p < resumedAt; ++p)
        QVERIFY2(!load.values[p - 1].has_value(), qPrintable(QString::number(p))); // away
    QVERIFY(resumedAt > firstSampleLost + 1);
    QVERIFY(load.values[resumedAt - 1].has_value()); // back
}

void CliTest::portsProbeAndPortAuto_withNoneOneOrTwoInstruments_data()
{
    QTest::addColumn<QList<bool>>("answering"); // one instrument each, linked as com2, com5, ...
    QTest::addColumn<int>("autoStatus");
    QTest::addColumn<QString>("autoText"); // what identify --port auto prints (status 0) or its error holds
    QTest::addColumn<bool>("secondNotedAsLoader"); // a flash left its boot loader running on the second
    QTest::newRow("none (a silent one)") << QList<bool>{false} << 3 << "no Quarvel answered on" << false;
    QTest::newRow("one") << QList<bool>{true} << 0 << "Quarvel V1.2 (virtual instrument)\n" << false;
    QTest::newRow("two") << QList<bool>{true, true} << 3 << "2 Quarvels answered" << false;
    // The noted port hears no line at 9600 baud, so only the first one answers.
    QTest::newRow("two, a loader noted on the second")
        << QList<bool>{true, true} << 0 << "Quarvel V1.2 (virtual instrument)\n" << true;
}

void CliTest::portsProbeAndPortAuto_withNoneOneOrTwoInstruments()
{
    QFETCH(QList<bool>, answering);
    QFETCH(int, autoStatus);
    QFETCH(QString, autoText);
    QFETCH(bool, secondNotedAsLoader);
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (int i = 0; i < answering.size(); ++i) {
        const QStringList options = answering[i] ? QStringList() : QStringList{QStringLiteral("--silent")};
        sims.push_back(std::make_unique<SimProcess>(options, QStringLiteral("com%1").arg(2 + 3 * i), m_dir.path()));
        QVERIFY2(sims.back()->started(), qPrintable(sims.back()->error()));
    }
    if (secondNotedAsLoader)
        writeFile(path("Quarvel-boot-loader.txt"), sims[1]->device().toUtf8() + "\n");
    // A port that cannot be opened (com1 names a folder) is named so, not left out.
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    QFile::link(path("folder"), path("com1"));
    // The system's own serial ports, if any, are listed and asked too; only the links are checked.
    const Run listed = cli(*sims[0], {QStringLiteral("ports")});
    const Run probed = cli(*sims[0], {QStringLiteral("ports"), QStringLiteral("--probe")});
    QCOMPARE(listed.status, 0);
    QCOMPARE(probed.status, 0);
    for (int i = 0; i < answering.size(); ++i) {
        const QString line = QStringLiteral("%1\t%2\tcom%1 link\t-").arg(2 + 3 * i).arg(sims[i]->device());
        QVERIFY2(listed.out.contains(line + QLatin1Char('\n')), qPrintable(listed.out));
        QString answer = answering[i] ? QStringLiteral("Quarvel V1.2 (virtual instrument)") : QStringLiteral("-");
        if (secondNotedAsLoader && i == 1)
            answer = QStringLiteral("- (not asked: a boot loader was left running there)");
        QVERIFY2(probed.out.contains(line + QLatin1Char('\t') + answer + QLatin1Char('\n')), qPrintable(probed.out));
    }
    const QString folder = QFileInfo(path("folder")).canonicalFilePath();
    QVERIFY2(probed.out.contains("1\t" + folder + "\tcom1 link\t-\t- (not opened: "), qPrintable(probed.out));

    const Run found = cli(*sims[0], {QStringLiteral("--port"), QStringLiteral("auto"), QStringLiteral("identify")});
    QCOMPARE(found.status, autoStatus);
    if (autoStatus == 0) {
        QVERIFY2(found.out.endsWith("port 2, " + sims[0]->device() + "\n" + autoText), qPrintable(found.out));
        return;
    }
    QVERIFY2(found.err.contains(autoText), qPrintable(found.err));
    for (const auto& sim : sims) // what was found is named
        QVERIFY2(found.err.contains(sim->device()), qPrintable(found.err));
}

// The loop of the README: flash one instrument after another as they are plugged in.
void CliTest::portAutoWait_asksThePortThatAppears()
{
    QTemporaryDir folder; // no instrument linked yet
    QProcess process;
    process.start(qEnvironmentVariable("QUARVEL_CLI"),
                  {"--config", folder.path(), "--port", "auto", "--wait", "60", "identify"});
    QByteArray out;
    for (QDeadlineTimer deadline(60000); !out.contains("Waiting up to 60 s") && !deadline.hasExpired();) {
        process.waitForReadyRead(200);
        out += process.readAllStandardOutput();
    }
    SimProcess sim({}, QStringLiteral("com4"), folder.path());
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    QVERIFY(process.waitForFinished(60000));
    out += process.readAllStandardOutput();
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(out.endsWith("Found on port 4, " + sim.device().toLocal8Bit() + "\nQuarvel V1.2 (virtual instrument)\n"),
             out.constData());
}

void CliTest::report_keepsARowPerReport()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const Run first = cli(sim, {"report", "--pack", "Rx 1"}, {"XDG_DATA_HOME=" + m_dir.path()});
    QVERIFY2(first.status == 0, qPrintable(first.err));
    const QStringList lines = first.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[3].startsWith("Kept in the battery history " + m_dir.path()));
    QVERIFY(lines[0].startsWith("RNV=") && lines[1].startsWith("RLV=") && lines[2].startsWith("RIM="));
    QCOMPARE(cli(sim, {"report", "--pack", "Rx 1", "--profile", "B"}, {"XDG_DATA_HOME=" + m_dir.path()}).status, 0);
    QCOMPARE(cli(sim, {"--quiet", "report", "--no-history"}, {"XDG_DATA_HOME=" + m_dir.path()}).status, 0);

    const QStringList rows = QString::fromUtf8(readFile(path("Quarvel/battery-history.csv"))).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], QString("Date,Instrument,Pack,Profile,No load voltage,Loaded voltage,Impedance"));
    QVERIFY2(rows[1].contains(",\"Quarvel V1.2 (virtual instrument)\",\"Rx 1\",\"Receiver\"," + lines[0].mid(4) + ","),
             qPrintable(rows[1]));
    QVERIFY2(rows[2].contains(",\"Rx 1\",\"Flight pack\","), qPrintable(rows[2]));
}

void CliTest::plot_drawsRecordsWithoutADisplay()
{
    SimProcess sim; // only for its configuration folder: plot talks to no instrument
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const QByteArray head = "Date,1.1.2025\r\nComments,pack\r\nSeconds between samples,30\r\nTotal time in minutes,1\r\n";
    writeFile(path("a.csv"), head + "Time,Voltage\r\n0,8.2\r\n0.5,7.1\r\n");
    writeFile(path("b.csv"), head + "Time,Voltage\r\n0,8\r\n0.5,\r\n");
    const Run run = cli(sim, {"plot", path("a.csv"), path("b.csv"), "-o", path("c.png"), "--limits", "8.4,7.4,7",
                              "--size", "300x200"});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(QImage(path("c.png")).size(), QSize(300, 200));

    writeFile(path("notes.txt"), "Name,Value\r\n");
    for (const QString& input : {path("missing.csv"), path("notes.txt")}) {
        const Run bad = cli(sim, {"plot", path("a.csv"), input, "-o", path("d.svg")});
        QCOMPARE(bad.status, 2);
        QVERIFY2(bad.err.contains(input), qPrintable(bad.err));
        QVERIFY(!QFile::exists(path("d.svg")));
    }
}

void CliTest::exitStatus_namesWhatHappened_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("inputFile"); // written as in.txt when given
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errorNames"); // a text the error line holds; for status 0, the output

    QTest::newRow("identify") << QStringList() << QStringList{"identify"} << QByteArray() << 0
                              << "Quarvel V1.2 (virtual instrument)\n";
    QTest::newRow("fuses written") << QStringList()
                                   << QStringList{"--quiet", "fuses", "--force", "--fuse", "8f", "--lock", "EC"}
                                   << QByteArray() << 0 << "fuse=8F\nlock=EC\n";
    QTest::newRow("save confirmed") << QStringList() << QStringList{"--quiet", "eeprom", "save"} << QByteArray() << 0
                                    << "";

    // Bad input on a device that does not exist: status 2, not 5, shows the port was never opened.
    const QStringList nowhere{QStringLiteral("--device"), QStringLiteral("/nonexistent/tty")};
    const QString in = QStringLiteral("@in");
    QTest::newRow("unknown command") << QStringList() << nowhere + QStringList{"frob"} << QByteArray() << 2 << "frob";
    QTest::newRow("unknown code") << QStringList() << nowhere + QStringList{"get", "XYZ"} << QByteArray() << 2 << "XYZ";
    QTest::newRow("bad fuse text") << QStringList() << nowhere + QStringList{"fuses", "--fuse", "1FF"} << QByteArray()
                                   << 2 << "--fuse";
    QTest::newRow("invalid hex line") << QStringList() << nowhere + QStringList{"flash", in}
                                      << QByteArray(":10000000FFFF\r\n") << 2 << "Invalid HEX record!";
    QTest::newRow("extended address") << QStringList() << nowhere + QStringList{"flash", in}
                                      << hexLine(0, 4, QByteArray::fromHex("0001")) + hexImage(QByteArray(16, 1)) << 2
                                      << "extended linear";
    QTest::newRow("beyond application") << QStringList() << nowhere + QStringList{"flash", in}
                                        << hexImage(QByteArray(16, 1), 7680) << 2 << "beyond the application area";
    QTest::newRow("not a backup") << QStringList() << nowhere + QStringList{"restore", in} << QByteArray("DRA=5\n") << 2
                                  << "not a settings backup";
    QTest::newRow("record too fast") << QStringList()
                                     << nowhere + QStringList{"record", "--interval", "0.01", "--minutes", "1", "-o", "x.csv"}
                                     << QByteArray() << 2 << "0.01";
    QTest::newRow("no port") << QStringList() << nowhere + QStringList{"identify"} << QByteArray() << 5
                             << "/nonexistent/tty";
    QTest::newRow("silent instrument") << QStringList{"--silent"} << QStringList{"identify"} << QByteArray() << 3
                                       << "no Quarvel answered";
    QTest::newRow("value refused") << QStringList() << QStringList{"set", "DRA=11", "DHA=abc"} << QByteArray() << 4
                                   << "refused DHA=abc";
    QTest::newRow("restore differs") << QStringList() << QStringList{"restore", in}
                                     << QByteArray("# Quarvel settings backup\nDHA=abc\n") << 4 << "DHA";
    QTest::newRow("verify differs") << QStringList{"--loader-stuck-byte", "100"} << QStringList{"flash", in}
                                    << hexImage(imageBytes().left(128)) << 4 << "Verify error at 100";
    QTest::newRow("no stored record") << QStringList{"--record-length", "0"}
                                      << QStringList{"download", "-o", path(QStringLiteral("none.csv"))}
                                      << QByteArray() << 4 << "holds no stored record";
    QTest::newRow("save unanswered") << QStringList{"--no-save-answer"} << QStringList{"eeprom", "save"} << QByteArray()
                                     << 5 << "did not confirm the save";
    QTest::newRow("instrument lost") << QStringList{"--vanish-after", "3"} << QStringList{"get"} << QByteArray() << 5
                                     << "connection";
    QTest::newRow("loader silent") << QStringList{"--loader-silent"} << QStringList{"fuses"} << QByteArray() << 5
                                   << "boot loader did not answer";
}

void CliTest::exitStatus_namesWhatHappened()
{
    QFETCH(QStringList, simOptions);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, inputFile);
    QFETCH(int, status);
    QFETCH(QString, errorNames);
    SimProcess sim(simOptions);
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    if (!inputFile.isNull())
        writeFile(path(QStringLiteral("in.txt")), inputFile);
    arguments.replaceInStrings(QStringLiteral("@in"), path(QStringLiteral("in.txt")));
    const Run run = cli(sim, arguments);
    QCOMPARE(run.status, status);
    if (status == 0) {
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, errorNames);
        return;
    }
    const QStringList errors = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(!errors.isEmpty() && errors.last().startsWith(QStringLiteral("quarvel-cli: ")), qPrintable(run.err));
    QVERIFY2(run.err.contains(errorNames), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(CliTest)
#include "CliTest.moc"
