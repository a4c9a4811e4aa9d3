#include "link/CharWait.h"
#include "programmer/BootLoaderIdentifier.h"
#include "programmer/BootLoaderLink.h"
#include "programmer/FlashWriter.h"
#include "programmer/ui/ProgramTab.h"
#include "sim/BootLoader.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

namespace {

const QString kTimeout = QStringLiteral("Error, timeout waiting for response from programmer!");
const QString kIncomplete = QStringLiteral("\n\nThe instrument now holds an incomplete application: run Erase Flash "
                                           "and Program Flash again before leaving the Program tab.");

// One Intel HEX line with its checksum.
QString hexRecordLine(int address, int type, const QByteArray& data)
{
    QByteArray bytes = QByteArray(1, char(data.size())) + char(address >> 8) + char(address & 0xFF) + char(type) + data;
    int sum = 0;
    for (const char b : bytes)
        sum += static_cast<quint8>(b);
    return ':' + QString::fromLatin1((bytes + char(-sum & 0xFF)).toHex().toUpper());
}

// The Program tab on the in-process instrument, in its boot loader; a silent one is left after 300 ms.
struct Rig : test::SimRig {
    ProgramTab tab{port, link, prompter, ProgrammerTiming{300}};
    QTemporaryDir dir;

    Rig()
    {
        port.write("1pgm\r");
        (void)charWaitCount(port, 5, 2000);
        port.readAll();
        port.clearWritten();
    }
    sim::BootLoader& loader() { return *static_cast<sim::BootLoader*>(instrument.bootLoader()); }
    void click(const char* button) { tab.findChild<QPushButton*>(button)->click(); }
    QLineEdit* box(const char* name) { return tab.findChild<QLineEdit*>(name); }
    void useImage(const QStringList& lines)
    {
        box("txtFileName")->setText(dir.filePath("image.hex"));
        test::writeFile(dir.filePath("image.hex"), lines.join("\r\n").toLatin1() + "\r\n");
    }
};

} // namespace

class FlashProgrammingTest : public QObject {
    Q_OBJECT
private slots:
    void eraseProgramVerify_comparesEachByteAtItsOwnAddress_data();
    void eraseProgramVerify_comparesEachByteAtItsOwnAddress();
    void verify_asksWordByWordAndNeedsData();
    void program_unusableImage_isRefusedBeforeAnythingIsSent_data();
    void program_unusableImage_isRefusedBeforeAnythingIsSent();
    void program_loaderFault_stopsAndNamesTheIncompleteApplication_data();
    void program_loaderFault_stopsAndNamesTheIncompleteApplication();
    void bits_writeTheTypedByteOrRefuseIt_data();
    void bits_writeTheTypedByteOrRefuseIt();
    void fileDialog_cancelKeepsTheName();
    void saveFlash_givesAFileThatProgramsAndVerifies();
    void program_writesTheLastPageOfTheApplication();
};

void FlashProgrammingTest::eraseProgramVerify_comparesEachByteAtItsOwnAddress_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("recordBytes");
    QTest::addColumn<int>("stuck");
    QTest::addColumn<QString>("question");
    // The stuck byte is the last of its record; the other byte of its word belongs to the next one.
    QTest::newRow("odd starts") << 1 << 16 << 32 << "Verify error at 32 expected 2021 read FF21 continue? ";
    QTest::newRow("odd lengths") << 2 << 15 << 16 << "Verify error at 16 expected 1011 read FF11 continue? ";
}

void FlashProgrammingTest::eraseProgramVerify_comparesEachByteAtItsOwnAddress()
{
    QFETCH(int, start);
    QFETCH(int, recordBytes);
    QFETCH(int, stuck);
    Rig rig;
    QByteArray image; // each byte holds its address
    for (int a = start; a < start + 48; ++a)
        image += char(a);
    QStringList lines;
    for (int a = start; a < start + 48; a += recordBytes)
        lines << hexRecordLine(a, 0, image.mid(a - start, recordBytes));
    rig.useImage(lines);
    rig.loader().setFlash(QByteArray(7680, '\0')); // an old application
    rig.prompter.yesNoAnswers << false << true;
    rig.click("cmdEraseFlash");
    QCOMPARE(rig.port.written(), QByteArray()); // No: nothing is erased
    rig.click("cmdEraseFlash");
    QCOMPARE(rig.port.written(), QByteArray("e"));
    QCOMPARE(rig.prompter.questions.first(), QStringLiteral("Are you sure you wish to erase the application?"));
    rig.loader().faults().stuckAddress = stuck; // keeps its erased value
    rig.click("cmdProgramFlash");
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.questions.size(), 3); // the erase twice, then one word
    QTEST(rig.prompter.questions.last(), "question");
    rig.loader().faults().stuckAddress = -1;
    rig.click("cmdProgramFlash");
    const QByteArray pages = QByteArray(start, '\0') + image + QByteArray(16 - start, '\0');
    QCOMPARE(rig.loader().flash().left(80), pages + QByteArray(16, char(0xFF))); // only pages with data
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.messages, QStringList{"Verify OK, no erros found!"});
}

void FlashProgrammingTest::verify_asksWordByWordAndNeedsData()
{
    Rig rig; // erased flash
    rig.useImage({hexRecordLine(0, 0, "\x0C\x94\xFF\xFF")});
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.port.written(), QByteArray("A\0\0RR", 5));
    QCOMPARE(rig.prompter.questions, QStringList{"Verify error at 0 expected C94 read FFFF continue? "});
    QCOMPARE(rig.prompter.messages, QStringList()); // going on to the end: no final message
    rig.port.clearWritten();
    rig.prompter.yesNoAnswers.enqueue(false);
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.port.written(), QByteArray("A\0\0R", 4)); // No ends it there
    rig.useImage({":00000001FF"});
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.messages, QStringList{"Nothing was verified: the file holds no data record."});
}

void FlashProgrammingTest::program_unusableImage_isRefusedBeforeAnythingIsSent_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    const QString data = hexRecordLine(0, 0, QByteArray(16, '\1'));
    QTest::newRow("data beyond 7679: the lowest address is named")
        << QStringList{data, hexRecordLine(0xF000, 0, "\1"), hexRecordLine(7672, 0, QByteArray(9, '\1'))}
        << QStringList{"This image cannot be programmed: line 3 holds data at address 7680, beyond the "
                       "application area (0 to 7679). Nothing was sent to the instrument."};
    QTest::newRow("linear base 1")
        << QStringList{data, ":020000040001F9"}
        << QStringList{"This image cannot be used: line 2 holds an extended linear address record (type 04) that "
                       "places data above 64 KiB, where this instrument has no flash. Nothing was sent to the "
                       "instrument."};
    QTest::newRow("segment base 0800")
        << QStringList{":020000020800F4", data}
        << QStringList{"This image cannot be used: line 1 holds an extended segment address record (type 02) that "
                       "moves the data after it up by 32768 bytes; this program places data at its 16-bit address "
                       "only. Nothing was sent to the instrument."};
    QTest::newRow("invalid record") << QStringList{data, ":0400000001020304F3"} << QStringList{"Invalid HEX record!"};
    QTest::newRow("linear base 0 is harmless") << QStringList{":020000040000FA", data} << QStringList();
}

void FlashProgrammingTest::program_unusableImage_isRefusedBeforeAnythingIsSent()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    Rig rig;
    rig.useImage(lines);
    rig.click("cmdProgramFlash");
    QCOMPARE(rig.prompter.messages, messages);
    QCOMPARE(rig.port.written().isEmpty(), !messages.isEmpty());
    QVERIFY(rig.tab.findChild<QWidget*>("progress")->isHidden());
}

void FlashProgrammingTest::program_loaderFault_stopsAndNamesTheIncompleteApplication_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("pagesWritten");
    QTest::newRow("silent") << 0 << kTimeout + kIncomplete << 0;
    QTest::newRow("one byte lost") << 1 << kTimeout + kIncomplete << 1;
    QTest::newRow("vanishing") << 2 << "The serial port is closed; the programmer cannot be reached: The device has "
                                      "vanished" + kIncomplete << 2;
}

void FlashProgrammingTest::program_loaderFault_stopsAndNamesTheIncompleteApplication()
{
    QFETCH(int, fault);
    Rig rig;
    auto& faults = rig.loader().faults();
    faults.silent = fault == 0;
    faults.dropByte = fault == 1 ? 106 + 50 : 0; // in the second page: the loader sends 106 bytes a page
    faults.vanishAfterPages = fault == 2 ? 2 : 0;
    rig.useImage({hexRecordLine(0, 0, QByteArray(240, '\x5A'))}); // eight pages
    rig.click("cmdProgramFlash");
    QFETCH(QString, message);
    QCOMPARE(rig.prompter.messages, QStringList{message});
    QTEST(rig.loader().pageWrites(), "pagesWritten");
}

void FlashProgrammingTest::bits_writeTheTypedByteOrRefuseIt_data()
{
    QTest::addColumn<bool>("fuse");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("yes"); // the answer to the question before writing
    QTest::addColumn<QString>("question"); // empty: none asked
    QTest::addColumn<QByteArray>("written"); // nothing when refused; a write is followed by the read-back
    QTest::addColumn<QString>("message"); // told after the write (a refused text is told why, whatever it is)
    const QString lockout = " These lock bits clear BLB01 or BLB02: the boot loader could then never again write or "
                            "read the application, and only an ISP programmer could bring the instrument back.";
    QTest::newRow("fuse 8E") << true << "8E" << true
                             << "Write the fuse bits 8E? Their current value is not known. A wrong fuse value can stop "
                                "the instrument from starting." << QByteArray("f\x8e\rF") << "";
    QTest::newRow("lock ef") << false << "ef" << true << "Write the lock bits EF? Their current value is not known."
                             << QByteArray("l\xef\rr") << "";
    // Entering programming mode tells the current bits: 8E and EF.
    QTest::newRow("fuse 8F declined, after entering") << true << "8f" << false
                                      << "Write the fuse bits 8F? They are now 8E: bit 0 changes. A wrong fuse value "
                                         "can stop the instrument from starting." << QByteArray() << "";
    QTest::newRow("lock locking the loader out")
        << false << "E3" << true << "Write the lock bits E3? Their current value is not known." + lockout
        << QByteArray("l\xe3\rr") << "";
    // Clearing only one of the two bits locks the loader out as well: declined, nothing is sent.
    QTest::newRow("lock EB declined, after entering")
        << false << "EB" << false << "Write the lock bits EB? They are now EF: bit 2 changes." + lockout
        << QByteArray() << "";
    QTest::newRow("lock E7 declined, after entering")
        << false << "E7" << false << "Write the lock bits E7? They are now EF: bit 3 changes." + lockout
        << QByteArray() << "";
    // The chip cannot set a lock bit back to 1: the read-back shows it.
    QTest::newRow("lock FF, after entering")
        << false << "FF" << true << "Write the lock bits FF? They are now EF: bit 4 changes." << QByteArray("l\xff\rr")
        << "The lock bits FF were written but EF read back: the instrument did not take them.";
    QTest::newRow("empty") << true << "" << true << "" << QByteArray() << "";
    QTest::newRow("above FF") << false << "100" << true << "" << QByteArray() << "";
}

void FlashProgrammingTest::bits_writeTheTypedByteOrRefuseIt()
{
    QFETCH(bool, fuse);
    QFETCH(QString, text);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QByteArray, written);
    QFETCH(QString, message);
    Rig rig;
    if (QByteArray(QTest::currentDataTag()).contains("after entering")) {
        rig.tab.showIdentification(BootLoaderIdentifier(rig.port, rig.link).identify());
        rig.port.clearWritten();
    }
    rig.prompter.defaultYesNo = yes;
    rig.box(fuse ? "txtFuseBits" : "txtLockBits")->setText(text);
    rig.click(fuse ? "cmdFuseBits" : "cmdLockBits");
    QCOMPARE(rig.port.written(), written);
    QCOMPARE(rig.prompter.questions, question.isEmpty() ? QStringList() : QStringList{question});
    if (question.isEmpty()) // refused before asking
        QCOMPARE(rig.prompter.messages.size(), 1);
    else
        QCOMPARE(rig.prompter.messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void FlashProgrammingTest::fileDialog_cancelKeepsTheName()
{
    Rig rig;
    rig.prompter.fileAnswers << QString() << QStringLiteral("/tmp/firmware.hex"); // cancelled, then chosen
    rig.click("cmdFileName");
    QCOMPARE(rig.box("txtFileName")->text(), QStringLiteral("*.hex"));
    rig.click("cmdFileName");
    QCOMPARE(rig.box("txtFileName")->text(), QStringLiteral("/tmp/firmware.hex"));
    QCOMPARE(rig.prompter.fileDialogs.first(), (QStringList{"Select Intel HEX file...", "*.hex", "*.hex"}));
}

void FlashProgrammingTest::saveFlash_givesAFileThatProgramsAndVerifies()
{
    Rig rig;
    QByteArray firmware;
    for (int i = 0; i < 100; ++i)
        firmware.append(static_cast<char>(i * 13 + 1));
    firmware[60] = char(0xFF); // erased bytes inside the application stay in the copy
    rig.loader().setFlash(firmware);
    const QString copy = rig.dir.filePath("copy.hex");
    rig.prompter.fileAnswers << copy;
    rig.click("cmdReadFlash");
    QCOMPARE(rig.prompter.messages,
             QStringList{"The application (100 bytes, without its erased end) was saved to " + copy + "."});
    const QList<QByteArray> lines = test::readFile(copy).split('\n');
    QCOMPARE(lines.size(), 7 + 1 + 1); // 6 full records, one of 4 bytes, the end record, the empty rest
    QCOMPARE(lines[6], QByteArray(":04006000E1EEFB08CA\r"));
    QCOMPARE(lines[7], QByteArray(":00000001FF\r"));

    rig.loader().setFlash(QByteArray(100, char(0xFF)));
    rig.box("txtFileName")->setText(copy);
    rig.prompter.messages.clear();
    rig.click("cmdProgramFlash");
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.messages, QStringList{"Verify OK, no erros found!"});
    QCOMPARE(rig.loader().flash().left(100), firmware);
}

void FlashProgrammingTest::program_writesTheLastPageOfTheApplication()
{
    Rig rig;
    BootLoaderLink link(rig.port);
    HexRecords records(2);
    for (int k = 0; k < 2; ++k) {
        records[k].recordType = HexRecord::kData;
        records[k].address = 7648 + 16 * k;
        records[k].byteCount = 16;
        records[k].data = QByteArray(16, static_cast<char>(0x40 + k));
    }
    QVERIFY(FlashWriter(link).program(records).completed);
    QCOMPARE(rig.loader().pageWrites(), 1);
    QCOMPARE(rig.loader().flash().mid(7640, 40),
             QByteArray(8, char(0xFF)) + QByteArray(16, 0x40) + QByteArray(16, 0x41));
}

QTEST_MAIN(FlashProgrammingTest)
#include "FlashProgrammingTest.moc"
