// The line to the boot loader: the counted and the quiet-line waits, and entering and leaving it.
#include "link/CharWait.h"
#include "link/SerialLink.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/ui/ProgramTab.h"
#include "support/FakeSerialPort.h"
#include "support/ScriptedPrompter.h"
#include "sim/BootLoader.h"
#include "sim/UartDecoder.h"
#include "support/SimRig.h"

#include <QLineEdit>
#include <QtTest>

using namespace quarvel;

// A line on which 100 more bytes have arrived at each of the next `looksWithData` looks.
struct StreamingPort : test::FakeSerialPort {
    int looksWithData = 0;
    qint64 bytesAvailable() override
    {
        if (looksWithData-- > 0)
            feed(QByteArray(100, 'x'));
        return FakeSerialPort::bytesAvailable();
    }
};

class LoaderLineTest : public QObject {
    Q_OBJECT
private slots:
    void countedWait_needsExactlyTheCount_data();
    void countedWait_needsExactlyTheCount();
    void quietWait_endsOnAQuietLineOrAtItsLimits_data();
    void quietWait_endsOnAQuietLineOrAtItsLimits();
    void entry_switchesToTheLoaderAndShowsWhatItTells_data();
    void entry_switchesToTheLoaderAndShowsWhatItTells();
    void session_keepsTheLoaderUntilAskedToLeave();
    void lineSentAtAnotherSpeed_reachesTheLoaderAsAUartReadsIt();
};

void LoaderLineTest::countedWait_needsExactlyTheCount_data()
{
    QTest::addColumn<QByteArray>("waiting");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("met");
    QTest::newRow("exact count") << QByteArray("A\x01\x02\r") << 4 << true;
    QTest::newRow("one byte too many") << QByteArray("R\x12\x34\r") << 3 << false;
    QTest::newRow("one byte short") << QByteArray("R\x12") << 3 << false;
    QTest::newRow("negative count") << QByteArray() << -1 << false;
}

void LoaderLineTest::countedWait_needsExactlyTheCount()
{
    QFETCH(QByteArray, waiting);
    test::FakeSerialPort port;
    QVERIFY(port.open());
    port.feed(waiting);
    QFETCH(int, count);
    QTEST(charWaitCount(port, count, 50), "met");
    QCOMPARE(port.bytesAvailable(), waiting.size()); // nothing is consumed
}

void LoaderLineTest::quietWait_endsOnAQuietLineOrAtItsLimits_data()
{
    QTest::addColumn<int>("looksWithData");
    QTest::addColumn<int>("maxTotalMs");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<int>("result");
    QTest::newRow("a stream that stops") << 5 << 30000 << 100000 << int(QuietWait::Quiet);
    QTest::newRow("never quiet") << 1000000 << 0 << 100000 << int(QuietWait::TooLong);
    QTest::newRow("too much") << 1000000 << 30000 << 1000 << int(QuietWait::TooMuch);
}

void LoaderLineTest::quietWait_endsOnAQuietLineOrAtItsLimits()
{
    StreamingPort port;
    QVERIFY(port.open());
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QFETCH(int, looksWithData);
    QFETCH(int, maxTotalMs);
    QFETCH(int, maxBytes);
    port.looksWithData = looksWithData;
    QTEST(int(charWaitQuiet(port, link, QuietLimits{10, maxTotalMs, maxBytes})), "result");
}

void LoaderLineTest::entry_switchesToTheLoaderAndShowsWhatItTells_data()
{
    QTest::addColumn<QByteArrayList>("replies"); // to S, s and r; V, v and F always answer
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QStringList>("boxes"); // programmer, software, hardware, signature, lock, fuse
    QTest::addColumn<QString>("message");
    const QByteArray all = QByteArray("1pgm\rSVvsrF") + QByteArray("x y ").repeated(5);
    QTest::newRow("every answer") << QByteArrayList{"SLOADER1", "s\x1e\x93\x07", "r\xef"} << all
                                  << QStringList{"LOADER1", "2", "3", "1E 93 7 ", "EF", "D9"} << QString();
    QTest::newRow("lock reply without its byte keeps the box")
        << QByteArrayList{"SLOADER1", "s\x1e\x93\x07", "r"} << all
        << QStringList{"LOADER1", "2", "3", "1E 93 7 ", "", "D9"} << QString();
    QTest::newRow("short signature ends the identification")
        << QByteArrayList{"SLOADER1", "s\x1e", "r\xef"} << QByteArray("1pgm\rSVvs")
        << QStringList{"LOADER1", "2", "3", "1E ", "", ""} << QString();
    QTest::newRow("no loader answers") << QByteArrayList{"", "", ""} << QByteArray("1pgm\rS")
                                       << QStringList{"", "", "", "", "", ""} << QString();
    QTest::newRow("the port will not reopen")
        << QByteArrayList{"", "", ""} << QByteArray("1pgm\r") << QStringList{"", "", "", "", "", ""}
        << "The serial port could not be opened at 19200,n,8,1 for the boot loader: Permission denied";
}

void LoaderLineTest::entry_switchesToTheLoaderAndShowsWhatItTells()
{
    QFETCH(QByteArrayList, replies);
    QFETCH(QString, message);
    const QMap<QByteArray, QByteArray> answers{{"S", replies[0]}, {"V", "V2"},        {"v", "v3"},
                                               {"s", replies[1]}, {"r", replies[2]}, {"F", "F\xd9"}};
    test::FakeSerialPort port;
    port.setResponder([&](const QByteArray& written) { return answers.value(written); });
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.setSettings(QStringLiteral("4800,n,8,1")));
    QVERIFY(port.open());
    if (!message.isEmpty())
        port.failNextOpen(QStringLiteral("Permission denied"));
    ProgramTab tab(port, link, prompter);
    BootLoaderSession session(port, link);
    tab.showIdentification(session.enter());

    QTEST(port.written(), "written");
    QStringList boxes;
    for (const char* name : {"txtProgrammer", "txtSWver", "txtHWver", "txtSignature", "txtLockBits", "txtFuseBits"})
        boxes << tab.findChild<QLineEdit*>(name)->text();
    QTEST(boxes, "boxes");
    QCOMPARE(session.savedPortSettings(), QStringLiteral("4800,n,8,1"));
    QCOMPARE(port.settings(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(port.bytesAvailable(), 0); // the LED acknowledgements are read and discarded
    QCOMPARE(prompter.messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void LoaderLineTest::session_keepsTheLoaderUntilAskedToLeave()
{
    using sim::VirtualInstrument;
    test::SimRig left;
    test::SimRig kept;
    for (test::SimRig* rig : {&left, &kept}) {
        BootLoaderSession session(rig->port, rig->link);
        QVERIFY(session.enter().programmer);
        QVERIFY(session.active());
        rig->port.clearWritten();
        if (rig == &left)
            QVERIFY(session.leave());
    }
    // Not asked to leave: the loader runs on, and no application line may reach it.
    QCOMPARE(kept.instrument.mode(), VirtualInstrument::Mode::BootLoader);
    QCOMPARE(kept.port.settings(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(kept.link.getValue(QStringLiteral("1"), QStringLiteral("DRA")), QString());
    QCOMPARE(kept.port.written(), QByteArray());
    // Asked: "G" at the loader's speed, then the application at the settings saved on entry.
    QCOMPARE(left.port.written(), QByteArray("G"));
    QCOMPARE(left.port.settingsAtWrite().last(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(left.instrument.mode(), VirtualInstrument::Mode::Application);
    QCOMPARE(left.port.settings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(!left.link.bootLoaderActive());
    QCOMPARE(left.link.getValue(QStringLiteral("1"), QStringLiteral("DRA")), QStringLiteral("10"));
}

void LoaderLineTest::lineSentAtAnotherSpeed_reachesTheLoaderAsAUartReadsIt()
{
    // Each bit sent at 9600 spans two bit times at 19200; the stop bit of most bytes reads low.
    QCOMPARE(sim::decodeAtRate("1DID\r", 9600, 19200), QByteArray::fromHex("0618608698606680"));
    QCOMPARE(sim::decodeAtRate("\r", 9600, 19200), QByteArray::fromHex("e680"));
    test::SimRig rig;
    rig.instrument.setDecodeLineSpeed(true);
    rig.instrument.startInBootLoader();
    rig.port.write("1DID\r"); // at 9600: "f" and 80 reach the loader, and the next byte ends the fuse write
    QVERIFY(rig.port.setSettings(QStringLiteral("19200,n,8,1")));
    rig.port.write("S");
    QCOMPARE(static_cast<sim::BootLoader*>(rig.instrument.bootLoader())->fuseBits(), quint8(0x80));
}

QTEST_MAIN(LoaderLineTest)
#include "LoaderLineTest.moc"
