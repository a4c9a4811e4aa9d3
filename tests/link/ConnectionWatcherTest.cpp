// The watcher on an in-memory port: a port that closes under the program is waited for and the
// instrument identified again when it is back, except while the boot loader holds the line; only
// the device that was lost is reopened, and only the instrument that was in use counts as back.
#include "link/ConnectionWatcher.h"
#include "link/SerialLink.h"
#include "support/FakeSerialPort.h"
#include "support/ScriptedPrompter.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

class ConnectionWatcherTest : public QObject {
    Q_OBJECT
private slots:
    void vanishedDevice_isWaitedFor_onlyWhereItWas_andOnlyItsInstrumentCountsAsBack();
    void deviceBackUnderAnotherNumber_isReopenedThere();
};

void ConnectionWatcherTest::vanishedDevice_isWaitedFor_onlyWhereItWas_andOnlyItsInstrumentCountsAsBack()
{
    FakeSerialPort port;
    port.setPortNumber(3);
    port.setRoute(QStringLiteral("/dev/ttyACM0"));
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QByteArray instrument = "Quarvel V1.2";
    int deafIdentifies = 0; // a returning instrument boots first and hears nothing
    port.setResponder([&](const QByteArray& line) -> QByteArray {
        if (line != "1DID\r")
            return line + "?\r\n";
        return deafIdentifies-- > 0 ? QByteArray() : QByteArray(line + instrument + "\r\n");
    });
    ConnectionWatcher watcher(port, link);
    QSignalSpy lost(&watcher, &ConnectionWatcher::lost);
    QSignalSpy returned(&watcher, &ConnectionWatcher::returned);
    QSignalSpy other(&watcher, &ConnectionWatcher::otherInstrument);
    watcher.watch();
    QCOMPARE(watcher.state(), ConnectionWatcher::State::Idle); // a port never opened is not waited for

    QVERIFY(port.open());
    watcher.watch(QStringLiteral("Quarvel V1.2"));
    watcher.setHeld(true); // the boot loader has the line
    port.vanish();
    QTRY_COMPARE(lost.size(), 1);
    port.reappear();
    QTest::qWait(4 * ConnectionWatcher::kRetryMs); // long enough for retries that must not come
    QCOMPARE(port.openCount(), 1);
    QVERIFY(port.writes().isEmpty());

    // Its com<N> link dangles, so the number names the default device now, where a Quarvel answers.
    port.setRoute(QStringLiteral("/dev/ttyUSB0"));
    watcher.setHeld(false);
    QTest::qWait(4 * ConnectionWatcher::kRetryMs);
    QCOMPARE(port.openCount(), 1);
    QVERIFY(port.writes().isEmpty());

    deafIdentifies = 3;
    port.setRoute(QStringLiteral("/dev/ttyACM0")); // the adapter is back
    QTRY_COMPARE(returned.size(), 1);
    QCOMPARE(returned[0][0].toString(), QStringLiteral("Quarvel V1.2"));
    QCOMPARE(port.writes(), QByteArrayList(4, "1DID\r")); // three unanswered, then the instrument

    // Back again with another instrument on it: named, and sent nothing more.
    instrument = "Quarvel V1.3";
    port.vanish();
    port.reappear();
    QTRY_COMPARE(other.size(), 1);
    QCOMPARE(other[0][0].toString(), QStringLiteral("Quarvel V1.3"));
    QVERIFY(!port.isOpen());
    QTest::qWait(4 * ConnectionWatcher::kRetryMs);
    QCOMPARE(port.writes().size(), 5);
    QCOMPARE(returned.size(), 1);
    QVERIFY(watcher.away());
}

void ConnectionWatcherTest::deviceBackUnderAnotherNumber_isReopenedThere()
{
    FakeSerialPort port;
    port.setPortNumber(3);
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.setResponder([](const QByteArray& line) { return line + "Quarvel V1.2\r\n"; });
    ConnectionWatcher watcher(port, link);
    int asked = 0;
    watcher.setRelocator([&] {
        ++asked;
        if (asked == 1)
            return 0; // not present yet
        port.reappear(); // as port 4, say a second adapter's number
        return 4;
    });
    QSignalSpy returned(&watcher, &ConnectionWatcher::returned);
    QVERIFY(port.open());
    watcher.watch();
    port.vanish();
    QTRY_COMPARE_WITH_TIMEOUT(returned.size(), 1, 10000);
    QCOMPARE(asked, 2);
    QCOMPARE(port.portNumber(), 4);
    QCOMPARE(watcher.portNumber(), 4);
}

QTEST_GUILESS_MAIN(ConnectionWatcherTest)
#include "ConnectionWatcherTest.moc"
