// Live acquisition without widgets: its states and the signals a front end follows.
#include "link/SerialLink.h"
#include "recorder/LiveAcquisition.h"
#include "recorder/SampleTimer.h"
#include "support/FakeSerialPort.h"
#include "support/ScriptedPrompter.h"

#include <QMetaEnum>
#include <QtTest>

using namespace quarvel;

namespace {

// An instrument that answers "1RNV" with the next of `volts` (or vanishes on it), and a log of
// every signal of the acquisition.
struct Rig {
    Rig()
    {
        port.open();
        port.setResponder([this](const QByteArray& line) {
            if (vanishOnRead)
                port.vanish();
            return line == "1RNV\r" && !volts.isEmpty() ? line + volts.takeFirst() + "\r\n" : QByteArray();
        });
        acquisition.timer().setClock([this] { return now; });
        const auto name = [](LiveAcquisition::State s) {
            return QString(QMetaEnum::fromType<LiveAcquisition::State>().valueToKey(int(s)));
        };
        QObject::connect(&acquisition, &LiveAcquisition::stateChanged, [this, name](auto s) { events << name(s); });
        QObject::connect(&acquisition, &LiveAcquisition::ended, [this, name](auto s) { events << "ended " + name(s); });
        QObject::connect(&acquisition, &LiveAcquisition::doubled, [this](auto m) { events << "doubled " + m; });
        QObject::connect(&acquisition, &LiveAcquisition::instrumentAway, [this] { events << "away"; });
        QObject::connect(&acquisition, &LiveAcquisition::sampled, [this](int point, std::optional<double> v) {
            events << QString("sampled %1 %2").arg(point).arg(v ? QString::number(*v) : "gap");
        });
    }

    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link{port, prompter};
    LiveAcquisition acquisition{link};
    QList<QByteArray> volts;
    bool vanishOnRead = false;
    qint64 now = 0;
    QStringList events;
};

} // namespace

class LiveAcquisitionTest : public QObject {
    Q_OBJECT
private slots:
    void record_samplesDoublesAndStops();
    void instrumentAway_isAGapUnlessStoppedThere_data();
    void instrumentAway_isAGapUnlessStoppedThere();
    void resume_catchesUpWithTheRecordsTime_data();
    void resume_catchesUpWithTheRecordsTime();
};

void LiveAcquisitionTest::record_samplesDoublesAndStops()
{
    Rig r;
    QCOMPARE(r.acquisition.start("30", "1"), QString());
    r.volts = {"7.52", "7.49"};
    r.acquisition.takeSample();
    r.acquisition.takeSample(); // the record of 2 points would be full: it doubles first
    r.acquisition.stop();
    r.acquisition.takeSample(); // a late tick takes nothing
    QCOMPARE(r.events,
             QStringList({"Acquiring", "sampled 1 7.52", "doubled 2", "sampled 2 7.49", "Idle", "ended Idle"}));
    QCOMPARE(r.port.writes(), QByteArrayList({"1RNV\r", "1RNV\r"}));
    QCOMPARE(r.acquisition.minutesText(), QString("2"));
    QCOMPARE(r.acquisition.model().cursor(), 3);
}

void LiveAcquisitionTest::instrumentAway_isAGapUnlessStoppedThere_data()
{
    QTest::addColumn<bool>("stopThere");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("cursor");
    QTest::newRow("not stopped: a gap") << false << QStringList{"Acquiring", "away", "sampled 1 gap"} << 2;
    QTest::newRow("stopped there") << true << QStringList{"Acquiring", "away", "Idle", "ended Idle"} << 1;
}

void LiveAcquisitionTest::instrumentAway_isAGapUnlessStoppedThere()
{
    QFETCH(bool, stopThere);
    QFETCH(QStringList, events);
    QFETCH(int, cursor);
    Rig r;
    if (stopThere)
        QObject::connect(&r.acquisition, &LiveAcquisition::instrumentAway, [&r] { r.acquisition.stop(); });
    QCOMPARE(r.acquisition.start("1", "10"), QString());
    r.vanishOnRead = true;
    r.acquisition.takeSample();
    QCOMPARE(r.events, events);
    QCOMPARE(r.acquisition.model().cursor(), cursor);
}

void LiveAcquisitionTest::resume_catchesUpWithTheRecordsTime_data()
{
    QTest::addColumn<QString>("minutes"); // 30 seconds between samples
    QTest::addColumn<qint64>("resumeAt");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("cursor");
    // Due at 150 s: point 5 of a record of 2 points, which doubles twice.
    QTest::newRow("doubles") << "1" << qint64(130000)
                             << QStringList{"Acquiring", "Suspended", "doubled 2", "doubled 4", "Acquiring"} << 5;
    QTest::newRow("cannot double: full") << "16380" << qint64(16380 * 60000)
                                         << QStringList{"Acquiring", "Suspended", "Full", "ended Full"} << 1;
}

void LiveAcquisitionTest::resume_catchesUpWithTheRecordsTime()
{
    QFETCH(QString, minutes);
    QFETCH(qint64, resumeAt);
    QFETCH(QStringList, events);
    QFETCH(int, cursor);
    Rig r;
    QCOMPARE(r.acquisition.start("30", minutes), QString());
    r.acquisition.suspend();
    r.acquisition.takeSample(); // a tick while suspended takes nothing
    r.now = resumeAt;
    r.acquisition.resume();
    QCOMPARE(r.events, events);
    QCOMPARE(r.acquisition.model().cursor(), cursor);
    // Acquiring again means ticking again; a timer left stopped would take nothing more.
    QCOMPARE(r.acquisition.timer().isActive(), r.acquisition.state() == LiveAcquisition::State::Acquiring);
    QVERIFY(r.port.writes().isEmpty());
}

QTEST_GUILESS_MAIN(LiveAcquisitionTest)
#include "LiveAcquisitionTest.moc"
