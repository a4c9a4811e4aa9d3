// quarvel-cli's commands in this process, against the in-process virtual instrument: the exit
// status, the error line and what was sent, for what a script must be able to rely on.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "programmer/HexImageFile.h"
#include "sim/BootLoader.h"
#include "sim/SimulatedSerialPort.h"
#include "sim/VirtualInstrument.h"
#include "support/FakeSerialPort.h"
#include "support/TestFiles.h"

#include <QDir>
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
};

// Runs one command as quarvel-cli does, on the given port; keeps what it wrote to standard error.
Run run(SerialPort& port, const QStringList& arguments)
{
    QTemporaryFile errors;
    if (!errors.open())
        return {};
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(errors.handle(), STDERR_FILENO);
    const Arguments parsed = parseArguments(arguments);
    Session session(parsed, &port);
    const int status = runCommand(session, parsed);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    errors.seek(0);
    return {status, QString::fromUtf8(errors.readAll())};
}

} // namespace

class CliCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void command_endsWithTheStatusOfWhatHappened_data();
    void command_endsWithTheStatusOfWhatHappened();
    void backupAndRestore_keepBlanksAtEitherEndOfAText();
    void restore_seesALostBlank();
    void restore_refusesASettingGivenTwice();
    void failedFlash_keepsTheLoaderAndTheSameCommandFinishesIt();
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

QTEST_GUILESS_MAIN(CliCommandsTest)
#include "CliCommandsTest.moc"
