// The watcher on an in-memory port: a port that closes under the program is waited for and the
// instrument identified again when it is back, except while the boot loader holds the line.
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
    void vanishedPort_isWaitedFor_andIdentifiedOnItsReturn_butNotWhileHeld();
    void deviceBackUnderAnotherNumber_isReopenedThere();
};

void ConnectionWatcherTest::vanishedPort_isWaitedFor_andIdentifiedOnItsReturn_butNotWhileHeld()
{
    FakeSerialPort port;
    port.setPortNumber(3);
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    port.setResponder([](const QByteArray& line) {
        return line == "1DID\r" ? line + "Quarvel V1.2\r\n" : line + "?\r\n";
    });
    ConnectionWatcher watcher(port, link);
    QSignalSpy lost(&watcher, &ConnectionWatcher::lost);
    QSignalSpy returned(&watcher, &ConnectionWatcher::returned);
    watcher.watch();
    QCOMPARE(watcher.state(), ConnectionWatcher::State::Idle); // a port never opened is not waited for

    QVERIFY(port.open());
    watcher.watch();
    QCOMPARE(watcher.portNumber(), 3);
    QCOMPARE(watcher.device(), QStringLiteral("fake device"));
    watcher.setHeld(true); // the boot loader has the line
    port.vanish();
    QTRY_COMPARE(lost.size(), 1);
    port.reappear();
    QTest::qWait(4 * ConnectionWatcher::kRetryMs); // long enough for retries that must not come
    QCOMPARE(port.openCount(), 1);
    QVERIFY(port.writes().isEmpty());

    watcher.setHeld(false);
    QTRY_COMPARE(returned.size(), 1);
    QCOMPARE(returned[0][0].toString(), QStringLiteral("Quarvel V1.2"));
    QCOMPARE(watcher.state(), ConnectionWatcher::State::Connected);
    QCOMPARE(port.writes().first(), QByteArray("1DID\r"));
    QCOMPARE(lost.size(), 1);
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
