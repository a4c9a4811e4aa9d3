#include "BootLoader.h"
#include "CharWait.h"
#include "FakeSerialPort.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "SimulatedSerialPort.h"
#include "VirtualInstrument.h"

#include <QTimer>
#include <QtTest>

using namespace quarvel;

class CharWaitTest : public QObject {
    Q_OBJECT
private slots:
    void countMetAtOnceReadsNothing();
    void countNeverSeenExactlyTimesOut_data();
    void countNeverSeenExactlyTimesOut();
    void closedPortEndsTheWait();
    void countMetAsTheLoaderAnswers();
    void quietLineReturnsAfterOnePause();
    void quietModeWaitsForTheStreamToStop();
    void quietModeLimits_data();
    void quietModeLimits();
};

void CharWaitTest::countMetAtOnceReadsNothing()
{
    test::FakeSerialPort port;
    QVERIFY(port.open());
    port.feed("A\x01\x02\r");
    QVERIFY(charWaitCount(port, 4, 5000));
    QCOMPARE(port.bytesAvailable(), 4);
}

void CharWaitTest::countNeverSeenExactlyTimesOut_data()
{
    QTest::addColumn<QByteArray>("waiting");
    QTest::addColumn<int>("count");
    QTest::newRow("one byte too many") << QByteArray("R\x12\x34\r") << 3;
    QTest::newRow("one byte short") << QByteArray("R\x12") << 3;
    QTest::newRow("negative count") << QByteArray() << -1;
}

void CharWaitTest::countNeverSeenExactlyTimesOut()
{
    QFETCH(QByteArray, waiting);
    QFETCH(int, count);
    test::FakeSerialPort port;
    QVERIFY(port.open());
    port.feed(waiting);
    QVERIFY(!charWaitCount(port, count, 50));
    QCOMPARE(port.bytesAvailable(), waiting.size());
}

void CharWaitTest::closedPortEndsTheWait()
{
    test::FakeSerialPort port;
    QVERIFY(!charWaitCount(port, 2, 60000)); // would hang for a minute if it waited
}

void CharWaitTest::countMetAsTheLoaderAnswers()
{
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port(instrument);
    QVERIFY(port.open());
    port.write("1pgm\r");
    QVERIFY(charWaitCount(port, 5, 2000));
    port.readAll();
    port.write("A");
    port.write(QByteArray(1, '\0'));
    port.write(QByteArray(1, '\x10'));
    QVERIFY(charWaitCount(port, 4, 2000));
    QCOMPARE(port.readAll(), QByteArray("A\0\x10\r", 4));
}

void CharWaitTest::quietLineReturnsAfterOnePause()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.open());
    port.feed("abc");
    QCOMPARE(charWaitQuiet(port, link), QuietWait::Quiet);
    QCOMPARE(port.bytesAvailable(), 3);
}

void CharWaitTest::quietModeWaitsForTheStreamToStop()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.open());
    int fed = 0;
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        if (fed++ < 12)
            port.feed("1.23\r\n");
    });
    feeder.start(20);
    QCOMPARE(charWaitQuiet(port, link), QuietWait::Quiet);
    QVERIFY(fed >= 12);
    QCOMPARE(port.bytesAvailable(), 12 * 6);
}

void CharWaitTest::quietModeLimits_data()
{
    QTest::addColumn<int>("maxTotalMs");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<int>("result");
    QTest::newRow("never quiet") << 300 << (1 << 30) << int(QuietWait::TooLong);
    QTest::newRow("too much") << 60000 << 1000 << int(QuietWait::TooMuch);
}

void CharWaitTest::quietModeLimits()
{
    QFETCH(int, maxTotalMs);
    QFETCH(int, maxBytes);
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.open());
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, [&] { port.feed(QByteArray(100, 'x')); });
    feeder.start(10);
    QuietLimits limits;
    limits.maxTotalMs = maxTotalMs;
    limits.maxBytes = maxBytes;
    QTEST(int(charWaitQuiet(port, link, limits)), "result");
}

QTEST_GUILESS_MAIN(CharWaitTest)
#include "CharWaitTest.moc"
