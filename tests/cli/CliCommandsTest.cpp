// quarvel-cli's commands in this process, against the in-process virtual instrument: the exit
// status, the error line and what was sent, for what a script must be able to rely on.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "programmer/HexImageFile.h"
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

#include <cstdio>
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

// Runs one command as quarvel-cli does, on the given port; keeps what it wrote to its output and
// to standard error.
Run run(SerialPort& port, const QStringList& arguments)
{
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

} // namespace

class CliCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void command_endsWithTheStatusOfWhatHappened_data();
    void command_endsWithTheStatusOfWhatHappened();
    void backupAndRestore_keepBlanksAtEitherEndOfAText();
    void restore_seesALostBlank();
    void failedFlash_keepsTheLoaderAndTheSameCommandFinishesIt();
    void recordStopWhenFull_stopsAndCountsWhatTheFileHolds();
    void plotWithLimits_drawsTheLimitLines();
};

void CliCommandsTest::command_endsWithTheStatusOfWhatHappened_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("held"); // a display line the instrument holds first
    QTest::addColumn<QByteArray>("input"); // written as in.txt when given
    QTest::addColumn<QStringList>("arguments"); // @in: in.txt, @out: a file in a missing folder or a free one
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errorNames");

    const QByteArray none;
    const QByteArray hexLine(":0100000055AA\r\n:00000001FF\r\n");
    QTest::newRow("write without answer") << "identify-only" << "" << none << QStringList{"set", "DRA=12", "DHA=6"}
                                          << 5 << "did not answer DRA=12";
    QTest::newRow("text read from silence") << "identify-only" << "" << none << QStringList{"get", "sDM1"} << 5
                                            << "did not answer the read of sDM1";
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
    QTest::newRow("comment a record file cannot hold")
        << "" << "" << none << QStringList{"download", "-o", "@out", "--comment", QString::fromUtf8("Akku №3")} << 2
        << QString::fromUtf8("\"№\"");
    QTest::newRow("fuse write ignored") << "loader ignores fuses" << "" << none
                                        << QStringList{"fuses", "--force", "--fuse", "8F"} << 4
                                        << "fuse bits 8F were written but 8E read back";
    QTest::newRow("fuse bits other than those read") << "" << "" << none << QStringList{"fuses", "--fuse", "8F"} << 2
                                                     << "They are now 8E: bit 0 changes";
    QTest::newRow("lock bits that lock the loader out") << "" << "" << none << QStringList{"fuses", "--lock", "E3"}
                                                        << 2 << "clear BLB01 or BLB02";
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
    instrument.application().faults().identifyOnly = fault == QLatin1String("identify-only");
    static_cast<sim::BootLoader*>(instrument.bootLoader())->faults().ignoreFuseWrites =
        fault == QLatin1String("loader ignores fuses");
    if (fault == QLatin1String("unwritable EEPROM")) {
        writeFile(dir.filePath("blocked"), "x");
        QCOMPARE(instrument.eeprom().useFile(dir.filePath("blocked/eeprom.json")), QString());
    }
    if (!held.isEmpty())
        instrument.application().setValue(QStringLiteral("DM1"), held);
    if (!input.isNull())
        writeFile(dir.filePath("in.txt"), input);
    arguments.replaceInStrings(QStringLiteral("@in"), dir.filePath("in.txt"));
    arguments.replaceInStrings(QStringLiteral("@out"), dir.filePath("out.txt"));
    arguments.replaceInStrings(QStringLiteral("@missing"), dir.filePath("missing/out.txt"));
    sim::SimulatedSerialPort port(instrument);

    const Run result = run(port, arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(errorNames), qPrintable(result.err));
    if (status == 0)
        QCOMPARE(result.err, QString());
    if (status == 2) // refused before anything was sent, or (for fuse bits) before anything was written
        QVERIFY2(port.written().isEmpty() || !port.written().contains("f\x8f\r"), port.written().constData());
    QVERIFY(!QFile::exists(dir.filePath("out.txt")) || status == 0); // no backup or record from a failure
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

void CliCommandsTest::failedFlash_keepsTheLoaderAndTheSameCommandFinishesIt()
{
    QTemporaryDir dir;
    QByteArray image;
    for (int i = 0; i < 64; ++i)
        image.append(static_cast<char>(i * 7 + 3));
    writeFile(dir.filePath("app.hex"), intelHexText(image));
    sim::VirtualInstrument instrument;
    auto* loader = static_cast<sim::BootLoader*>(instrument.bootLoader());
    loader->faults().dropByte = 70; // an acknowledgement while programming: the wait for it times out
    sim::SimulatedSerialPort port(instrument);
    const QStringList flash{QStringLiteral("flash"), dir.filePath("app.hex")};

    const Run failed = run(port, flash);
    QCOMPARE(failed.status, 5);
    QVERIFY2(failed.err.contains("loader keeps running: run the same flash command again"), qPrintable(failed.err));
    QCOMPARE(instrument.mode(), sim::VirtualInstrument::Mode::BootLoader); // no half-written application started

    // No application answers now; the running loader does, and the same command finishes the work.
    const Run finished = run(port, flash);
    QVERIFY2(finished.status == 0, qPrintable(finished.err));
    QCOMPARE(loader->flash().left(64), image);
    QCOMPARE(instrument.mode(), sim::VirtualInstrument::Mode::Application);
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
