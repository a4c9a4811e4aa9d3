#include "FakeSerialPort.h"
#include "SampleTimer.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quarvel;

class SampleTimerTest : public QObject {
    Q_OBJECT
private slots:
    void ticksWhileIdle();
    void tickDuringExchangeWaitsForItsEnd();
    void stopForgetsAWaitingTick();
};

void SampleTimerTest::ticksWhileIdle()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    SampleTimer timer(link);
    QSignalSpy due(&timer, &SampleTimer::sampleDue);
    timer.start(20);
    QTRY_VERIFY(due.count() >= 2);
    QCOMPARE(timer.interval(), 20);
}

void SampleTimerTest::tickDuringExchangeWaitsForItsEnd()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    SampleTimer timer(link);
    QSignalSpy due(&timer, &SampleTimer::sampleDue);
    timer.start(40);
    int duringExchange = -1;
    {
        BusyScope exchange(link);
        link.delay(130); // ticks fall due in here
        duringExchange = due.count();
    }
    QCOMPARE(duringExchange, 0);
    // The ticks missed count once, and come as soon as the exchange has returned.
    QCoreApplication::processEvents();
    QCOMPARE(due.count(), 1);
}

void SampleTimerTest::stopForgetsAWaitingTick()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    SampleTimer timer(link);
    QSignalSpy due(&timer, &SampleTimer::sampleDue);
    {
        BusyScope exchange(link);
        timer.start(10);
        link.delay(40);
        timer.stop();
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(due.count(), 0);
}

QTEST_MAIN(SampleTimerTest)
#include "SampleTimerTest.moc"
