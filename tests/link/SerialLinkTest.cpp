#include "FakeSerialPort.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

using namespace quarvel;
using namespace quarvel::test;

class SerialLinkTest : public QObject {
    Q_OBJECT
private slots:
    void getValue_discardsStaleInputAndReadsAfterEcho();
    void setValue_warnsOnlyWhenRejected();
    void sendCommand_writesAddressAndTextAsGiven();
    void closedPort_readsEmptyWithoutFailing();
    void nestedDelay_endsOnItsOwnTick();
    void delay_holdsBackUserInputUntilItEnds();
    void waitTransmitDone_endsWhenPortCloses();
    void idle_isSignalledWhenOutermostExchangeEnds();
};

void SerialLinkTest::getValue_discardsStaleInputAndReadsAfterEcho()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.open();
    port.feed("stale 99\r\n");
    port.setResponder([](const QByteArray& line) { return line + "  12.5\r\n"; });

    QCOMPARE(link.getValue("1", "DRA"), QStringLiteral("12.5"));
    QCOMPARE(port.writes(), QByteArrayList{"1DRA\r"});
    QCOMPARE(link.getValue("1", "sDVA"), QStringLiteral("  12.5\r\n")); // text values come unchanged
    QCOMPARE(port.writes().last(), QByteArray("1DVA\r"));
}

void SerialLinkTest::setValue_warnsOnlyWhenRejected()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.open();
    port.setResponder([](const QByteArray& line) { return line + "\r\n"; });
    link.setValue("1", "DCY 3", "1500");
    QCOMPARE(port.writes(), QByteArrayList{"1DCY 3 1500\r"});
    QVERIFY(prompter.messages.isEmpty());

    port.setResponder([](const QByteArray& line) { return line + "?\r\n"; });
    link.setValue("1", "sDVA", "4 cell  NiCd");
    QCOMPARE(port.writes().last(), QByteArray("1DVA 4 cell  NiCd\r"));
    QCOMPARE(prompter.messages, QStringList{SerialLink::kRejectedMessage});
}

void SerialLinkTest::sendCommand_writesAddressAndTextAsGiven()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.open();
    port.feed("left over");
    port.setResponder([](const QByteArray& line) { return line; });
    link.sendCommand("1", "ELD\r");
    QCOMPARE(port.writes(), QByteArrayList{"1ELD\r"});
    QCOMPARE(port.readAll(), QByteArray("1ELD\r")); // the answer is left for the next reader
}

void SerialLinkTest::closedPort_readsEmptyWithoutFailing()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(link.getValue("1", "DRA"), QString());
    link.setValue("1", "DRA", "10");
    QVERIFY(port.writes().isEmpty());
    QVERIFY(prompter.messages.isEmpty());
    QVERIFY(clock.elapsed() >= SerialLink::kReadWaitMs + SerialLink::kWriteWaitMs - 5); // the waits still run
}

void SerialLinkTest::nestedDelay_endsOnItsOwnTick()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    bool innerDone = false;
    QTimer::singleShot(20, [&] {
        link.delay(30);
        innerDone = true;
    });
    QElapsedTimer clock;
    clock.start();
    link.delay(200);
    QVERIFY(innerDone);
    // With one shared flag the inner tick would have ended the outer delay after about 50 ms.
    QVERIFY2(clock.elapsed() >= 195, qPrintable(QString::number(clock.elapsed())));
}

void SerialLinkTest::delay_holdsBackUserInputUntilItEnds()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QLineEdit field;
    field.show();
    field.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&field));
    // A key as the window system delivers it, queued like real typing.
    QTimer::singleShot(10, [&] {
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            field.windowHandle(), QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    });
    bool timerRan = false;
    QTimer::singleShot(20, [&] { timerRan = true; });
    link.delay(80);
    QVERIFY(timerRan);                // timers run during a delay
    QCOMPARE(field.text(), QString()); // typing waits
    QTRY_COMPARE(field.text(), QStringLiteral("a")); // and is not lost
}

void SerialLinkTest::waitTransmitDone_endsWhenPortCloses()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.open();
    port.setPendingTransmit(100); // never drains
    QTimer::singleShot(30, [&] { port.close(); });
    link.waitTransmitDone();
    QVERIFY(!port.isOpen());
}

void SerialLinkTest::idle_isSignalledWhenOutermostExchangeEnds()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.open();
    QSignalSpy idle(&link, &SerialLink::idle);
    bool busyInside = false;
    QTimer::singleShot(10, [&] { busyInside = link.busy(); });
    {
        BusyScope scope(link);
        link.getValue("1", "DRA");
        link.getValue("1", "DRB");
        QCOMPARE(idle.count(), 0);
    }
    QVERIFY(busyInside);
    QVERIFY(!link.busy());
    QCOMPARE(idle.count(), 1);
}

QTEST_MAIN(SerialLinkTest)
#include "SerialLinkTest.moc"
