// quarvel-cli's commands in this process, against the in-process virtual instrument: the exit
// status, the error line and what was sent, for what a script must be able to rely on.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "programmer/HexFile.h"
#include "programmer/HexImageFile.h"
#include "programmer/ProgrammerTexts.h"
#include "sim/BootLoader.h"
#include "sim/SimulatedSerialPort.h"
#include "sim/VirtualInstrument.h"
#include "recorder/RecordFileReader.h"
#include "support/FakeSerialPort.h"
#include "support/FullDisk.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace quarvel;
using namespace quarvel::cli;
using namespace quarvel::test;

namespace {

struct Run {
    int status = -1;
    QString err;
    QString out;
};

// Each test's configuration folder, where a running boot loader is noted.
std::unique_ptr<QTemporaryDir> g_config;

// Runs one command as quarvel-cli does, on the given port; keeps what it wrote to its output and
// to standard error.
Run run(SerialPort& port, QStringList arguments)
{
    arguments.prepend(g_config->path());
    arguments.prepend(QStringLiteral("--config"));
    QTemporaryFile errors;
    QTemporaryFile output;
    if (!errors.open() || !output.open())
        return {};
    std::fflush(nullptr);
    const int savedErr = ::dup(STDERR_FILENO);
    const int savedOut = ::dup(STDOUT_FILENO);
    ::dup2(errors.handle(), STDERR_FILENO);
    ::dup2(output.handle(), STDOUT_FILENO);
    const Arguments parsed = parseArguments(arguments);
    Session session(parsed, &port);
    const int status = runCommand(session, parsed);
    std::fflush(nullptr);
    ::dup2(savedErr, STDERR_FILENO);
    ::dup2(savedOut, STDOUT_FILENO);
    ::close(savedErr);
    ::close(savedOut);
    errors.seek(0);
    output.seek(0);
    return {status, QString::fromUtf8(errors.readAll()), QString::fromUtf8(output.readAll())};
}

// The flash as bytes from address 0, read from an Intel HEX file this program wrote.
QByteArray hexFileBytes(const QString& path)
{
    QByteArray bytes;
    for (const HexRecord& r : loadHexRecords(path, HexLoadMode::StopAtInvalid).records) {
        if (r.recordType != HexRecord::kData)
            continue;
        bytes.resize(std::max<qsizetype>(bytes.size(), r.address + r.byteCount));
        bytes.replace(r.address, r.byteCount, r.data.left(r.byteCount));
    }
    return bytes;
}

// A port on which a hang-up arrives (when asked) once the first page is written, as a terminal
// closed in the middle of the work.
class HangUpPort : public sim::SimulatedSerialPort {
public:
    HangUpPort(sim::VirtualInstrument& instrument, bool hangUp) : SimulatedSerialPort(instrument), m_hangUp(hangUp) {}
    void write(const QByteArray& bytes) override
    {
        SimulatedSerialPort::write(bytes);
        if (m_hangUp && bytes == "m") // the first page is written
            std::raise(SIGHUP);
        m_hangUp = m_hangUp && bytes != "m";
    }

private:
    bool m_hangUp;
};

} // namespace

class CliCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { g_config = std::make_unique<QTemporaryDir>(); }
    void command_endsWithTheStatusOfWhatHappened_data();
    void command_endsWithTheStatusOfWhatHappened();
    void backupAndRestore_keepBlanksAtEitherEndOfAText();
    void restore_seesALostBlank();
    void restore_refusesASettingGivenTwice();
    void failedFlash_keepsTheLoaderAndTheSameCommandFinishesIt();
    void resultNotWritten_endsWith6AndSaysWhatWasDone_data();
    void resultNotWritten_endsWith6AndSaysWhatWasDone();
    void eepromSave_answerWithoutTheEcho_confirmsNothing();
    void wait_forAPortThatAppears_runsOut_orIsInterrupted();
    void recordStopWhenFull_stopsAndCountsWhatTheFileHolds();
    void plotWithLimits_drawsTheLimitLines();
};

void CliCommandsTest::command_endsWithTheStatusOfWhatHappened_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("held"); // a display line the instrument holds first
    QTest::addColumn<QByteArray>("input"); // written as in.txt when given
    // @in: in.txt, @link: a link to it, @out: a free file, @missing: a file in a missing folder
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errorNames");

    const QByteArray none;
    const QByteArray hexLine(":0100000055AA\r\n:00000001FF\r\n");
    QTest::newRow("write without answer") << "identify-only" << "" << none << QStringList{"set", "DRA=12", "DHA=6"}
                                          << 5 << "did not answer DRA=12";
    QTest::newRow("text read from silence") << "identify-only" << "" << none << QStringList{"get", "sDM1"} << 5
                                            << "did not answer the read of sDM1";
    QTest::newRow("download whose dwell time is not answered")
        << "identify-only" << "" << none << QStringList{"download", "-o", "@out"} << 5
        << "did not answer the read of";
    QTest::newRow("eeprom load without answer") << "identify-only" << "" << none << QStringList{"eeprom", "load"} << 5
                                                << "eeprom load";
    QTest::newRow("factory defaults without answer") << "identify-only" << "" << none
                                                     << QStringList{"eeprom", "factory"} << 5 << "eeprom factory";
    QTest::newRow("save refused") << "unwritable EEPROM" << "" << none << QStringList{"eeprom", "save"} << 4
                                  << "refused to save";
    QTest::newRow("text with a question mark is written") << "" << "" << none << QStringList{"set", "sDM1=Ready?"}
                                                          << 0 << "";
    QTest::newRow("backup of a text with a question mark") << "" << "Ready?" << none
                                                           << QStringList{"backup", "@out"} << 4 << "sDM1";
    QTest::newRow("restore of a hand-edited backup")
        << "" << "" << QByteArray("# Quarvel settings backup\nDRA = 12\nDHA=5.50 \n") << QStringList{"restore", "@in"}
        << 0 << "";
    QTest::newRow("backup into a missing folder") << "" << "" << none << QStringList{"backup", "@missing"} << 2
                                                  << "does not exist";
    QTest::newRow("flash copy into a missing folder")
        << "" << "" << hexLine << QStringList{"flash", "--backup", "@missing", "@in"} << 2 << "does not exist";
    QTest::newRow("firmware read into a file") << "" << "" << none << QStringList{"read-flash", "-o", "@out"} << 0
                                               << "";
    QTest::newRow("flash copy over the image") << "" << "" << hexLine << QStringList{"flash", "--backup", "@in", "@in"}
                                               << 2 << "is the image";
    QTest::newRow("flash copy over a link to the image")
        << "" << "" << hexLine << QStringList{"flash", "--backup", "@link", "@in"} << 2 << "is the image";
    // Before the erase: the copy of the old firmware is whole on disk, or nothing changes.
    QTest::newRow("flash copy on a full disk") << "full disk" << "" << hexLine
                                               << QStringList{"flash", "--backup", "@out", "@in"} << 2 << "Cannot write";
    QTest::newRow("flash copy whose read fails") << "loader drops a byte" << "" << hexLine
                                                 << QStringList{"flash", "--backup", "@out", "@in"} << 5 << "timeout";
    QTest::newRow("verify finds a difference") << "stuck flash byte" << "" << hexLine << QStringList{"flash", "@in"}
                                               << 4 << kUnverifiedApplicationMessage;
    QTest::newRow("verify-only on a running application")
        << "" << "" << hexLine << QStringList{"flash", "--verify-only", "@in"} << 4 << kUnverifiedApplicationMessage;
    // Once the erase is done, the work is finished first; the status then reports the interrupt.
    QTest::newRow("hang-up while programming") << "hang-up" << "" << intelHexText(QByteArray(96, '\x3c'))
                                               << QStringList{"flash", "@in"} << 130 << "interrupted";
    QTest::newRow("port auto without an instrument, a loader running")
        << "loader running" << "" << hexLine << QStringList{"--port", "auto", "flash", "@in"} << 3
        << "--port auto: no Quarvel answered";
    QTest::newRow("comment a record file cannot hold")
        << "" << "" << none << QStringList{"download", "-o", "@out", "--comment", QString::fromUtf8("Akku №3")} << 2
        << QString::fromUtf8("\"№\"");
    QTest::newRow("fuse write ignored") << "loader ignores fuses" << "" << none
                                        << QStringList{"fuses", "--force", "--fuse", "8F"} << 4
                                        << "fuse bits 8F were written but 8E read back";
    QTest::newRow("fuse bits other than those read") << "" << "" << none << QStringList{"fuses", "--fuse", "8F"} << 2
                                                     << "They are now 8E: bit 0 changes";
    // --force is for fuse bits: a lock-out needs its own option (read back, or the status is 4).
    for (const char* lock : {"E3", "EB", "E7"}) // both, only BLB01, only BLB02 cleared
        QTest::addRow("lock bits %s lock the loader out", lock)
            << "" << "" << none << QStringList{"fuses", "--force", "--lock", lock} << 2
            << "clear BLB01 or BLB02";
    QTest::newRow("lock-out allowed") << "" << "" << none << QStringList{"fuses", "--allow-loader-lockout", "--lock", "E3"}
                                      << 0 << "";
}

void CliCommandsTest::command_endsWithTheStatusOfWhatHappened()
{
    QFETCH(QString, fault);
    QFETCH(QString, held);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, errorNames);
    QTemporaryDir dir;
    sim::VirtualInstrument instrument;
    auto* loader = static_cast<sim::BootLoader*>(instrument.bootLoader());
    QByteArray firmware; // the old application
    for (int i = 0; i < 3000; ++i)
        firmware.append(static_cast<char>(i * 5 + 1));
    loader->setFlash(firmware);
    instrument.application().faults().identifyOnly = fault == QLatin1String("identify-only");
    loader->faults().ignoreFuseWrites = fault == QLatin1String("loader ignores fuses");
    loader->faults().dropByte = fault == QLatin1String("loader drops a byte") ? 100 : 0; // in the copy's read
    loader->faults().stuckAddress = fault == QLatin1String("stuck flash byte") ? 0 : -1;
    if (fault == QLatin1String("loader running"))
        instrument.startInBootLoader();
    if (fault == QLatin1String("unwritable EEPROM")) {
        writeFile(dir.filePath("blocked"), "x");
        QCOMPARE(instrument.eeprom().useFile(dir.filePath("blocked/eeprom.json")), QString());
    }
    if (!held.isEmpty())
        instrument.application().setValue(QStringLiteral("DM1"), held);
    if (!input.isNull())
        writeFile(dir.filePath("in.txt"), input);
    QVERIFY(QFile::link(dir.filePath("in.txt"), dir.filePath("link.txt")));
    arguments.replaceInStrings(QStringLiteral("@in"), dir.filePath("in.txt"));
    arguments.replaceInStrings(QStringLiteral("@link"), dir.filePath("link.txt"));
    arguments.replaceInStrings(QStringLiteral("@out"), dir.filePath("out.txt"));
    arguments.replaceInStrings(QStringLiteral("@missing"), dir.filePath("missing/out.txt"));
    HangUpPort port(instrument, fault == QLatin1String("hang-up"));

    std::optional<FullDisk> full;
    if (fault == QLatin1String("full disk")) {
        full.emplace(2000); // less than the copy of the old application
        QVERIFY(full->active());
    }
    const Run result = run(port, arguments);
    full.reset();
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(errorNames), qPrintable(result.err));
    if (status == 0)
        QCOMPARE(result.err, QString());
    const QByteArray sent = port.written();
    const bool copyRead = arguments.contains(QStringLiteral("--backup")) && sent.contains("1pgm\r");
    if ((status == 2 || status == 3) && !copyRead) { // nothing reached the instrument after it was identified, but "G"
        qsizetype identified = 0;
        for (const QByteArray& last : {QByteArray("1DID\r"), QByteArray("y ")})
            identified = std::max(identified, sent.lastIndexOf(last) < 0 ? 0 : sent.lastIndexOf(last) + last.size());
        QCOMPARE(sent.mid(identified), QByteArray(sent.contains("1pgm\r") ? "G" : ""));
    }
    if (arguments.contains(QStringLiteral("auto")))
        QCOMPARE(sent, QByteArray());
    if (status != 0 && arguments.contains(QStringLiteral("--backup"))) { // no erase, no page written
        QVERIFY(!sent.contains('e'));
        QCOMPARE(loader->pageWrites(), 0);
    }
    QVERIFY(!QFile::exists(dir.filePath("out.txt")) || status == 0); // no backup or record from a failure
    if (arguments.first() == QLatin1String("flash") && (status == 0 || status == 130))
        QCOMPARE(loader->flash().left(96), hexFileBytes(dir.filePath("in.txt")).leftJustified(96, char(0xFF)));
    if (arguments.first() == QLatin1String("read-flash"))
        QCOMPARE(hexFileBytes(dir.filePath("out.txt")), firmware);
    // The loader keeps running exactly where the command says so.
    if (!sent.isEmpty())
            QCOMPARE(instrument.mode() == sim::VirtualInstrument::Mode::BootLoader,
                 result.err.contains(kUnverifiedApplicationMessage));
}

void CliCommandsTest::backupAndRestore_keepBlanksAtEitherEndOfAText()
{
    QTemporaryDir dir;
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port(instrument);
    instrument.application().setValue(QStringLiteral("DM1"), QStringLiteral("  Club 7 "));
    const QString backup = dir.filePath("settings.txt");
    QCOMPARE(run(port, {QStringLiteral("backup"), backup}).status, 0);
    QVERIFY(readFile(backup).contains("\nsDM1=  Club 7 \n"));

    instrument.application().setValue(QStringLiteral("DM1"), QStringLiteral("Changed"));
    const Run restored = run(port, {QStringLiteral("restore"), backup});
    QVERIFY2(restored.status == 0, qPrintable(restored.err));
    QCOMPARE(instrument.application().value(QStringLiteral("DM1")), QStringLiteral("  Club 7 "));
}

void CliCommandsTest::restore_seesALostBlank()
{
    FakeSerialPort port; // an instrument that drops the blank at the end of a text
    port.setResponder([](const QByteArray& line) -> QByteArray {
        if (line == "1DID\r")
            return line + "Quarvel V1.2\r\n";
        if (line == "1DM1\r")
            return line + " Hi\r\n";
        return line.startsWith("1DM1 ") ? line + "\r\n" : QByteArray();
    });
    QTemporaryDir dir;
    writeFile(dir.filePath("in.txt"), "# Quarvel settings backup\nsDM1= Hi \n");
    const Run restored = run(port, {QStringLiteral("restore"), dir.filePath("in.txt")});
    QCOMPARE(restored.status, 4);
    QVERIFY2(restored.err.contains("sDM1 was restored as \" Hi \" but the instrument holds \" Hi\""),
             qPrintable(restored.err));
    QVERIFY(port.written().contains("1DM1  Hi \r"));
}

void CliCommandsTest::restore_refusesASettingGivenTwice()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("in.txt"), "# Quarvel settings backup\nDRA=12\nDHA=6\nDRA=47\n");
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port(instrument);
    const Run restored = run(port, {QStringLiteral("restore"), dir.filePath("in.txt")});
    QCOMPARE(restored.status, 2);
    QVERIFY2(restored.err.contains("line 4: DRA is given twice"), qPrintable(restored.err));
    QCOMPARE(port.written(), QByteArray()); // not even the identify line
}

void CliCommandsTest::failedFlash_keepsTheLoaderAndTheSameCommandFinishesIt()
{
    QTemporaryDir dir;
    QByteArray image;
    for (int i = 0; i < 64; ++i)
        image.append(static_cast<char>(i * 7 + 3));
    writeFile(dir.filePath("app.hex"), intelHexText(image));
    sim::VirtualInstrument instrument;
    instrument.setDecodeLineSpeed(true); // what is sent at another speed reaches it as a UART reads it
    auto* loader = static_cast<sim::BootLoader*>(instrument.bootLoader());
    const QByteArray old(3000, '\x42');
    loader->setFlash(old);
    // An acknowledgement in the second page: after the identification (52 bytes from the loader),
    // the copy (4 + 3 a word), the erase (2) and the first page (106). The wait for it times out.
    loader->faults().dropByte = 52 + 4 + 3 * 3840 + 2 + 106 + 50;
    sim::SimulatedSerialPort port(instrument);
    const QString backup = dir.filePath("old.hex");
    const QStringList flash{QStringLiteral("flash"), QStringLiteral("--backup"), backup, dir.filePath("app.hex")};

    const Run failed = run(port, flash);
    QCOMPARE(failed.status, 5);
    QVERIFY2(failed.err.contains(kUnverifiedApplicationMessage), qPrintable(failed.err));
    QCOMPARE(instrument.mode(), sim::VirtualInstrument::Mode::BootLoader); // no half-written application started
    QCOMPARE(hexFileBytes(backup), old);

    // The loader left running is asked at its own speed before any application line could reach
    // it; the same command finishes the work and keeps the first copy of the old firmware.
    const qsizetype before = port.settingsAtWrite().size();
    const Run finished = run(port, flash);
    QVERIFY2(finished.status == 0, qPrintable(finished.err));
    QCOMPARE(port.settingsAtWrite().at(before), QStringLiteral("19200,n,8,1"));
    QCOMPARE(loader->fuseBits(), quint8(0x8E));
    QCOMPARE(loader->flash().left(64), image);
    QCOMPARE(hexFileBytes(backup), old);
    QCOMPARE(instrument.mode(), sim::VirtualInstrument::Mode::Application);
}

void CliCommandsTest::resultNotWritten_endsWith6AndSaysWhatWasDone_data()
{
    QTest::addColumn<QStringList>("arguments"); // @in: a one-byte image, @out: the file that cannot be written
    QTest::addColumn<QString>("said");
    QTest::newRow("read-flash") << QStringList{"read-flash", "-o", "@out"}
                                << "the application was read (4000 bytes) but is not saved: Cannot write @out: ";
    QTest::newRow("download") << QStringList{"download", "-o", "@out"}
                              << "the stored record was downloaded (300 values) but is not saved: Cannot save";
    QTest::newRow("report") << QStringList{"report"}
                            << "the report was read and printed but not kept in the battery history: Cannot write";
}

void CliCommandsTest::resultNotWritten_endsWith6AndSaysWhatWasDone()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QTemporaryDir dir;
    writeFile(dir.filePath("in.txt"), ":0100000055AA\r\n:00000001FF\r\n");
    // A history longer than the disk's room: the report's copy of it cannot be written.
    QDir(dir.path()).mkpath("Quarvel");
    QByteArray history = "Date,Instrument,Pack,Profile,No load voltage,Loaded voltage,Impedance\r\n";
    while (history.size() < 4000)
        history += "2026-12-01 10:00:00,\"Quarvel V1.2\",\"Rx 1\",\"Receiver\",8.41,8.1,0.123\r\n";
    writeFile(dir.filePath("Quarvel/battery-history.csv"), history);
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    arguments.replaceInStrings(QStringLiteral("@in"), dir.filePath("in.txt"));
    arguments.replaceInStrings(QStringLiteral("@out"), dir.filePath("out.txt"));
    said.replace(QStringLiteral("@out"), dir.filePath("out.txt"));
    sim::VirtualInstrument instrument;
    auto* loader = static_cast<sim::BootLoader*>(instrument.bootLoader());
    loader->setFlash(QByteArray(4000, '\x3c')); // an application whose copy needs more room than there is
    const QByteArray flashBefore = loader->flash();
    sim::SimulatedSerialPort port(instrument);

    Run result;
    {
        const FullDisk disk(1500);
        if (!disk.active())
            QSKIP("no file size limit can be set here");
        result = run(port, arguments);
    }
    qputenv("XDG_DATA_HOME", savedDataHome);
    QCOMPARE(result.status, 6);
    QVERIFY2(result.err.contains(said), qPrintable(result.err));
    QVERIFY(!result.err.contains("nothing was sent"));
    QCOMPARE(loader->flash(), flashBefore);
    QCOMPARE(instrument.mode(), sim::VirtualInstrument::Mode::Application);
    QCOMPARE(readFile(dir.filePath("Quarvel/battery-history.csv")), history);
}

void CliCommandsTest::eepromSave_answerWithoutTheEcho_confirmsNothing()
{
    FakeSerialPort port; // answers the save, but without echoing the command line
    port.setResponder([](const QByteArray& line) -> QByteArray {
        if (line == "1DID\r")
            return line + "Quarvel V1.2\r\n";
        return line == "1ESV\r" ? QByteArray("Saved\r\n") : QByteArray();
    });
    const Run saved = run(port, {QStringLiteral("eeprom"), QStringLiteral("save")});
    QCOMPARE(saved.status, 5);
    QVERIFY2(saved.err.contains("did not confirm the save"), qPrintable(saved.err));
}

void CliCommandsTest::wait_forAPortThatAppears_runsOut_orIsInterrupted()
{
    FakeSerialPort port;
    port.setResponder([](const QByteArray& line) { return line + "Quarvel V1.2\r\n"; });
    port.vanish(); // not plugged in
    QTimer::singleShot(300, [&] { port.reappear(); });
    const Run found = run(port, {QStringLiteral("--wait"), QStringLiteral("20"), QStringLiteral("identify")});
    QVERIFY2(found.status == 0, qPrintable(found.err));
    QVERIFY(port.written().startsWith("\r\r1DID\r"));

    port.vanish();
    port.clearWrites();
    const Run late = run(port, {QStringLiteral("--wait"), QStringLiteral("0.3"), QStringLiteral("identify")});
    QCOMPARE(late.status, 3);
    QVERIFY2(late.err.contains("port 1: the port did not appear within 0.3 s"), qPrintable(late.err));

    // Ctrl+C as the port appears: the command is not run.
    const int opened = port.openCount();
    QTimer::singleShot(300, [&] {
        port.reappear();
        std::raise(SIGINT);
    });
    const Run stopped = run(port, {"--wait", "60", "set", "DRA=12"});
    QCOMPARE(stopped.status, 130);
    QCOMPARE(port.openCount(), opened);
    QCOMPARE(port.written(), QByteArray());

    for (const char* bad : {"nan", "-1", "soon"})
        QVERIFY(!Session(parseArguments({"--wait", bad, "identify"}), &port).error().isEmpty());
}
void CliCommandsTest::recordStopWhenFull_stopsAndCountsWhatTheFileHolds()
{
    QTemporaryDir dir;
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port(instrument);
    const QString file = dir.filePath("full.csv");
    bool hung = false;
    QTimer watchdog; // a record that never stops is ended here, and fails below
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [&] {
        hung = true;
        QCoreApplication::exit(1); // ends every event loop running, the command's too
    });
    watchdog.start(60000);
    const QStringList record{"record", "--interval", "0.25", "--minutes", "0.0125", "--stop-when-full", "-o", file};
    const Run result = run(port, record);
    QVERIFY2(!hung, "record --stop-when-full did not stop when its time was up");
    QVERIFY2(result.status == 0, qPrintable(result.err));
    const RecordFileLoad load = RecordFileReader::load(file, {}, {});
    QCOMPARE(load.minutesText, std::optional<QString>("0.0125")); // not doubled
    QCOMPARE(load.values.size(), size_t(3));
    for (const auto& value : load.values)
        QVERIFY(value.has_value());
    QVERIFY2(result.out.contains("3 samples saved to"), qPrintable(result.out));

    // A disk too full for the record: the samples were taken, so this is not bad input, and the
    // file of the same name stays as it was.
    const QByteArray before = readFile(file);
    FullDisk full(2000);
    QVERIFY(full.active());
    const Run failed = run(port, record + QStringList{"--comment", QString(2500, 'x')});
    QCOMPARE(failed.status, 6);
    QVERIFY2(failed.err.contains("3 samples were taken, but the record could not be saved"), qPrintable(failed.err));
    QCOMPARE(readFile(file), before);
}

void CliCommandsTest::plotWithLimits_drawsTheLimitLines()
{
    QTemporaryDir dir;
    FakeSerialPort port; // plot talks to no instrument
    writeFile(dir.filePath("a.csv"), "Date,1.1.2025\r\nComments,pack\r\nSeconds between samples,30\r\n"
                                     "Total time in minutes,1\r\nTime,Voltage\r\n0,8.2\r\n0.5,6.9\r\n");
    const QStringList plot{"plot", dir.filePath("a.csv"), "--limits", "8.4,7.4,7", "--size", "300x200", "-o"};
    QCOMPARE(run(port, plot + QStringList{dir.filePath("c.svg")}).status, 0);
    const QByteArray svg = readFile(dir.filePath("c.svg"));
    for (const char* label : {"High 8.4 V", "Warning 7.4 V", "Low 7 V"})
        QVERIFY2(svg.contains(label), label);
    QCOMPARE(run(port, plot + QStringList{dir.filePath("c.png")}).status, 0);
    const QImage png(dir.filePath("c.png"));
    QCOMPARE(png.size(), QSize(300, 200));
    int warningPixels = 0; // the warning line and label are orange (red over green over blue), smoothed or not
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            const QColor c = png.pixelColor(x, y);
            warningPixels += c.red() > c.green() + 20 && c.green() > c.blue() + 40;
        }
    }
    QVERIFY2(warningPixels > 50, qPrintable(QString::number(warningPixels)));
}

QTEST_MAIN(CliCommandsTest)
#include "CliCommandsTest.moc"
