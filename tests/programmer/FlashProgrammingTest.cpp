#include "BootLoader.h"
#include "CharWait.h"
#include "HexImage.h"
#include "ProgramTab.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "SimulatedSerialPort.h"
#include "VirtualInstrument.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quarvel;

namespace {

constexpr int kShortTimeoutMs = 300;

// The Program tab on the in-process virtual instrument, already in its boot loader.
struct Rig {
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port{instrument};
    test::ScriptedPrompter prompter;
    SerialLink link{port, prompter};
    ProgramTab tab{port, link, prompter, ProgrammerTiming{kShortTimeoutMs}};
    QTemporaryDir dir;

    Rig()
    {
        port.open();
        port.write("1pgm\r");
        (void)charWaitCount(port, 5, 2000);
        port.readAll();
        port.clearWritten();
    }
    sim::BootLoader& loader() { return *dynamic_cast<sim::BootLoader*>(instrument.bootLoader()); }
    void click(const char* button) { tab.findChild<QPushButton*>(QLatin1String(button))->click(); }
    QLineEdit* box(const char* name) { return tab.findChild<QLineEdit*>(QLatin1String(name)); }
    // Writes the image file and names it in the file box.
    bool useImage(const QStringList& lines)
    {
        const QString path = dir.filePath(QStringLiteral("image.hex"));
        box("txtFileName")->setText(path);
        return test::writeTextFile(path, lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
};

QByteArray patternBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

} // namespace

class FlashProgrammingTest : public QObject {
    Q_OBJECT
private slots:
    void programThenVerifyRealisticImage();
    void pageCrossingImageProgramsWhole();
    void extendedAddressImageIsRefusedWithNothingSent();
    void invalidRecordStopsBeforeWriting();
    void unreadableFileIsReported();
    void mismatchAsksTheExactQuestion();
    void eraseAsksFirst();
    void loaderFaultsStopProgramming_data();
    void loaderFaultsStopProgramming();
    void fuseAndLockBits_data();
    void fuseAndLockBits();
    void badBitsTextsAreRefused();
    void fileDialogKeepsTheNameOnCancel();
};

void FlashProgrammingTest::programThenVerifyRealisticImage()
{
    Rig rig;
    // 3 KiB of 16-byte records in two blocks with a gap, as a linker lays out code and tables.
    const QByteArray code = patternBytes(2048, 7);
    const QByteArray table = patternBytes(1024, 8);
    QStringList lines = test::hexImageLines(code, 0);
    lines.removeLast();
    lines += test::hexImageLines(table, 4096);
    QVERIFY(rig.useImage(lines));

    rig.click("cmdEraseFlash");
    rig.click("cmdProgramFlash");
    QCOMPARE(rig.prompter.messages, QStringList());
    const QByteArray& flash = rig.loader().flash();
    QCOMPARE(flash.left(2048), code);
    QCOMPARE(flash.mid(4096, 1024), table);
    QCOMPARE(flash.mid(2048, 2048), QByteArray(2048, char(0xFF))); // no page in the gap was written
    QCOMPARE(flash.mid(5120, 7680 - 5120), QByteArray(7680 - 5120, char(0xFF)));
    QCOMPARE(rig.loader().pageWrites(), (2048 + 1024) / 32);

    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.questions, QStringList{QStringLiteral("Are you sure you wish to erase the application?")});
    QCOMPARE(rig.prompter.messages, QStringList{QStringLiteral("Verify OK, no erros found!")});
}

void FlashProgrammingTest::pageCrossingImageProgramsWhole()
{
    Rig rig;
    // 20-byte records from address 24: nearly every one runs into the following page.
    const QByteArray image = patternBytes(600, 9);
    QVERIFY(rig.useImage(test::hexImageLines(image, 24, 20)));
    rig.click("cmdEraseFlash");
    rig.click("cmdProgramFlash");
    QCOMPARE(rig.prompter.messages, QStringList());
    const QByteArray& flash = rig.loader().flash();
    QCOMPARE(flash.mid(24, 600), image);
    QCOMPARE(flash.left(24), QByteArray(24, '\0'));  // uncovered bytes of a written page are 0
    QCOMPARE(rig.loader().pageWrites(), (24 + 600 + 31) / 32);
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.messages, QStringList{QStringLiteral("Verify OK, no erros found!")});
}

void FlashProgrammingTest::extendedAddressImageIsRefusedWithNothingSent()
{
    Rig rig;
    QStringList lines = test::hexImageLines(patternBytes(64, 3));
    lines.insert(2, QStringLiteral(":020000040001F9"));
    QVERIFY(rig.useImage(lines));
    rig.click("cmdProgramFlash");
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.port.written(), QByteArray());
    QCOMPARE(rig.prompter.messages.size(), 2);
    for (const QString& message : rig.prompter.messages)
        QVERIFY2(message.contains(QStringLiteral("line 3")) && message.contains(QStringLiteral("64 KiB")),
                 qPrintable(message));
}

void FlashProgrammingTest::invalidRecordStopsBeforeWriting()
{
    Rig rig;
    QStringList lines = test::hexImageLines(patternBytes(256, 4));
    lines[10].chop(1);
    lines[10] += QLatin1Char(lines[10].endsWith(QLatin1Char('0')) ? '1' : '0');
    QVERIFY(rig.useImage(lines));
    rig.click("cmdProgramFlash");
    QCOMPARE(rig.port.written(), QByteArray());
    QCOMPARE(rig.prompter.messages, QStringList{QStringLiteral("Invalid HEX record!")});
    QVERIFY(rig.tab.findChild<QWidget*>(QStringLiteral("progress"))->isHidden());
}

void FlashProgrammingTest::unreadableFileIsReported()
{
    Rig rig;
    rig.click("cmdProgramFlash"); // the initial "*.hex"
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.port.written(), QByteArray());
    QCOMPARE(rig.prompter.messages.size(), 2);
    QVERIFY(rig.prompter.messages.first().contains(QStringLiteral("*.hex")));
}

void FlashProgrammingTest::mismatchAsksTheExactQuestion()
{
    Rig rig;
    rig.loader().faults().stuckAddress = 0;
    QByteArray image = patternBytes(32, 5);
    image[0] = char(12);
    image[1] = char(148);
    QVERIFY(rig.useImage(test::hexImageLines(image)));
    rig.click("cmdEraseFlash");
    rig.click("cmdProgramFlash");
    rig.prompter.questions.clear();
    rig.prompter.yesNoAnswers.enqueue(false);
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.questions, QStringList{QStringLiteral("Verify error at 0 expected C94 read FF94 continue? ")});
    QCOMPARE(rig.prompter.messages, QStringList());
    // Going on past every mismatch reaches the end without a final message.
    rig.prompter.questions.clear();
    rig.click("cmdVerifyFlash");
    QCOMPARE(rig.prompter.questions.size(), 1);
    QCOMPARE(rig.prompter.messages, QStringList());
}

void FlashProgrammingTest::eraseAsksFirst()
{
    Rig rig;
    rig.loader().setFlash(QByteArray(7680, '\0'));
    const QByteArray loaderArea = rig.loader().flash().mid(7680);
    rig.prompter.yesNoAnswers.enqueue(false);
    rig.click("cmdEraseFlash");
    QCOMPARE(rig.port.written(), QByteArray());
    rig.click("cmdEraseFlash");
    QCOMPARE(rig.port.written(), QByteArray("e"));
    QCOMPARE(rig.loader().flash().left(7680), QByteArray(7680, char(0xFF)));
    QCOMPARE(rig.loader().flash().mid(7680), loaderArea); // the loader stays
}

void FlashProgrammingTest::loaderFaultsStopProgramming_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("messagePart");
    QTest::addColumn<int>("pagesWritten");
    QTest::newRow("silent") << 0 << "Error, timeout waiting for response from programmer!" << 0;
    QTest::newRow("one byte dropped") << 1 << "Error, timeout waiting for response from programmer!" << 1;
    QTest::newRow("vanishing") << 3 << "serial port is closed" << 2;
}

void FlashProgrammingTest::loaderFaultsStopProgramming()
{
    QFETCH(int, fault);
    Rig rig;
    // Each page costs the loader this many bytes: A and its address, 16 words, A again, m.
    auto& faults = rig.loader().faults();
    const int bytesPerPage = 4 + 16 * 6 + 4 + 2;
    switch (fault) {
    case 0: faults.silent = true; break;
    case 1: faults.dropByte = bytesPerPage + 50; break;
    default: faults.vanishAfterPages = 2; break; // on the third page
    }
    QVERIFY(rig.useImage(test::hexImageLines(patternBytes(256, 6))));
    rig.click("cmdProgramFlash");
    QCOMPARE(rig.prompter.messages.size(), 1);
    QFETCH(QString, messagePart);
    QVERIFY2(rig.prompter.messages.first().contains(messagePart), qPrintable(rig.prompter.messages.first()));
    QTEST(rig.loader().pageWrites(), "pagesWritten");
    if (fault == 0)
        QCOMPARE(rig.port.written(), QByteArray("A\0\0", 3)); // stopped at the first exchange
}

void FlashProgrammingTest::fuseAndLockBits_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("fuse 8E") << QByteArray("txtFuseBits") << "8E" << QByteArray("f\x8e\r");
    QTest::newRow("lock ef") << QByteArray("txtLockBits") << "ef" << QByteArray("l\xef\r");
}

void FlashProgrammingTest::fuseAndLockBits()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    Rig rig;
    rig.box(box.constData())->setText(text);
    rig.click(box == "txtFuseBits" ? "cmdFuseBits" : "cmdLockBits");
    QCOMPARE(rig.port.written(), written);
    QCOMPARE(rig.prompter.messages, QStringList());
    const quint8 value = box == "txtFuseBits" ? rig.loader().fuseBits() : rig.loader().lockBits();
    QCOMPARE(int(value), int(quint8(written.at(1))));
    QCOMPARE(rig.box(box.constData())->text(), text);

    rig.loader().faults().silent = true;
    rig.click(box == "txtFuseBits" ? "cmdFuseBits" : "cmdLockBits");
    QCOMPARE(rig.prompter.messages, QStringList{kProgrammerTimeoutMessage});
}

void FlashProgrammingTest::badBitsTextsAreRefused()
{
    Rig rig;
    for (const char* text : {"", "0x8E", "100", "zz"}) {
        rig.box("txtFuseBits")->setText(QLatin1String(text));
        rig.click("cmdFuseBits");
        rig.box("txtLockBits")->setText(QLatin1String(text));
        rig.click("cmdLockBits");
    }
    QCOMPARE(rig.port.written(), QByteArray());
    QCOMPARE(rig.prompter.messages.size(), 8);
    QVERIFY(rig.prompter.messages.at(3).contains(QStringLiteral("lock bits")));
}

void FlashProgrammingTest::fileDialogKeepsTheNameOnCancel()
{
    Rig rig;
    rig.click("cmdFileName");
    QCOMPARE(rig.box("txtFileName")->text(), QStringLiteral("*.hex"));
    QCOMPARE(rig.prompter.fileDialogs.size(), 1);
    QCOMPARE(rig.prompter.fileDialogs.first(),
             (QStringList{QStringLiteral("Select Intel HEX file..."), QStringLiteral("*.hex"), QStringLiteral("*.hex")}));
    rig.prompter.fileAnswers.enqueue(QStringLiteral("/tmp/firmware.hex"));
    rig.click("cmdFileName");
    QCOMPARE(rig.box("txtFileName")->text(), QStringLiteral("/tmp/firmware.hex"));
}

QTEST_MAIN(FlashProgrammingTest)
#include "FlashProgrammingTest.moc"
