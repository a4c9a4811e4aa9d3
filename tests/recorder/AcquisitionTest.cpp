#include "RecordTab.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "SimulatedSerialPort.h"
#include "StoredRecord.h"
#include "VirtualInstrument.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace quarvel;

namespace {
struct Bench {
    Bench() : port(instrument), link(port, prompter), record(&instrument.storedRecord()),
              tab(link, prompter, [this] { return instrument.application().value("DRD"); })
    {
        port.open();
    }
    QPushButton* acquire() { return tab.findChild<QPushButton*>("cmdAcquire"); }
    QLineEdit* field(const char* name) { return tab.findChild<QLineEdit*>(name); }
    bool fileButtonsEnabled(bool enabled)
    {
        for (const char* name : {"cmdSave", "cmdLoad", "cmdLoadFromQuarvel"}) {
            if (tab.findChild<QPushButton*>(name)->isEnabled() != enabled)
                return false;
        }
        return true;
    }

    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link;
    sim::StoredRecord* record;
    RecordTab tab;
};
} // namespace

class AcquisitionTest : public QObject {
    Q_OBJECT
private slots:
    void acquireStopRestartSuspend();
    void fullRecordStopsAcquiring();
    void unansweredSampleIsAGap();
    void downloadFromTheInstrument_data();
    void downloadFromTheInstrument();
};

void AcquisitionTest::acquireStopRestartSuspend()
{
    Bench b;
    b.field("txtStime")->setText("0.125");
    b.field("txtTtime")->setText("0.00625"); // 3 points: the record doubles while it runs
    b.tab.enterTab();
    RecordModel& model = b.tab.model();
    QCOMPARE(model.pointCount(), 3);

    b.acquire()->click();
    QCOMPARE(b.tab.acquisition(), RecordTab::Acquisition::Running);
    QCOMPARE(b.acquire()->text(), QString("Stop"));
    QVERIFY(b.fileButtonsEnabled(false));
    QCOMPARE(b.tab.findChild<QTimer*>("tmrAcquire")->interval(), 125);
    QCOMPARE(model.value(1), std::optional<double>(0.0));

    QTRY_VERIFY_WITH_TIMEOUT(model.cursor() >= 4, 5000);
    const QString minutes = b.field("txtTtime")->text();
    const int points = model.pointCount();
    QVERIFY2((minutes == "0.0125" && points == 6) || (minutes == "0.025" && points == 12), qPrintable(minutes));
    QCOMPARE(model.label(4), QString("0.00625"));
    for (int k = 1; k < model.cursor(); ++k) {
        const double v = model.value(k).value_or(0);
        QVERIFY2(v > 7 && v < 8.5, qPrintable(QString::number(v)));
    }
    QCOMPARE(b.port.written().left(5), QByteArray("1RNV\r"));

    b.acquire()->click();
    QCOMPARE(b.tab.acquisition(), RecordTab::Acquisition::Idle);
    QCOMPARE(b.acquire()->text(), QString("Acquire"));
    QVERIFY(b.fileButtonsEnabled(true));
    const int stoppedAt = model.cursor();
    QVERIFY(model.value(stoppedAt - 1));

    b.acquire()->click(); // a new record from point 1, all zeros
    QCOMPARE(model.cursor(), 1);
    QCOMPARE(model.pointCount(), points);
    for (int k = 1; k <= model.pointCount(); ++k)
        QCOMPARE(model.value(k), std::optional<double>(0.0));
    QTRY_VERIFY_WITH_TIMEOUT(model.cursor() >= 2, 5000);

    b.tab.leaveTab();
    QCOMPARE(b.tab.acquisition(), RecordTab::Acquisition::Suspended);
    QCOMPARE(b.acquire()->text(), QString("Stop"));
    QVERIFY(b.fileButtonsEnabled(false));
    b.tab.enterTab();
    QCOMPARE(model.cursor(), 1);
    QCOMPARE(model.value(1), std::optional<double>(0.0));
    b.port.clearWritten();
    QTest::qWait(350); // ticks would have come by now
    QCOMPARE(b.port.written(), QByteArray());
    QCOMPARE(model.value(1), std::optional<double>(0.0));
    b.acquire()->click();
    QCOMPARE(b.tab.acquisition(), RecordTab::Acquisition::Idle);
    QVERIFY(b.fileButtonsEnabled(true));
}

void AcquisitionTest::fullRecordStopsAcquiring()
{
    Bench b;
    b.field("txtStime")->setText("0.05");
    b.field("txtTtime")->setText("18.2"); // 21840 points; doubling would need 43680
    b.tab.enterTab();
    b.acquire()->click();
    b.tab.model().setCursor(21840);
    QTRY_COMPARE_WITH_TIMEOUT(b.tab.acquisition(), RecordTab::Acquisition::Idle, 5000);
    QCOMPARE(b.prompter.messages.size(), 1);
    QVERIFY(b.prompter.messages[0].contains("The record is full"));
    QCOMPARE(b.tab.model().pointCount(), 21840);
    QVERIFY(b.tab.model().value(21840).value_or(0) > 7); // the last point was still sampled
    QCOMPARE(b.field("txtTtime")->text(), QString("18.2"));
    QVERIFY(b.fileButtonsEnabled(true));
}

void AcquisitionTest::unansweredSampleIsAGap()
{
    Bench b;
    b.field("txtStime")->setText("0.1");
    b.tab.enterTab();
    b.instrument.application().faults().silent = true;
    b.acquire()->click();
    QTRY_VERIFY_WITH_TIMEOUT(b.tab.model().cursor() >= 3, 5000);
    QVERIFY(!b.tab.model().value(1));
    QVERIFY(!b.tab.model().value(2));
    QCOMPARE(b.prompter.messages, QStringList());
}

void AcquisitionTest::downloadFromTheInstrument_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("emptyLineAfter");
    QTest::addColumn<int>("pauseAfter");
    QTest::addColumn<int>("notNumberEvery");
    QTest::addColumn<int>("received");
    QTest::newRow("whole record") << 300 << -1 << -1 << 0 << 300;
    QTest::newRow("empty line inside") << 300 << 50 << -1 << 0 << 50;
    QTest::newRow("pause inside") << 300 << -1 << 40 << 0 << 40;
    QTest::newRow("not numbers") << 20 << -1 << -1 << 7 << 20;
}

void AcquisitionTest::downloadFromTheInstrument()
{
    QFETCH(int, length);
    QFETCH(int, emptyLineAfter);
    QFETCH(int, pauseAfter);
    QFETCH(int, notNumberEvery);
    QFETCH(int, received);
    Bench b;
    auto& options = b.record->options();
    options.length = length;
    options.emptyLineAfter = emptyLineAfter;
    options.pauseAfter = pauseAfter;
    options.notNumberEvery = notNumberEvery;
    b.tab.enterTab();
    b.tab.findChild<QPushButton*>("cmdLoadFromQuarvel")->click();
    QCOMPARE(b.prompter.messages, QStringList());
    RecordModel& model = b.tab.model();
    QCOMPARE(model.pointCount(), 300);
    for (int k = 1; k <= 300; ++k) {
        const auto v = model.value(k);
        if (k > received) { // not reached: still the cleared record's 0
            QCOMPARE(v, std::optional<double>(0.0));
            continue;
        }
        const bool expectValue = !(notNumberEvery && k % notNumberEvery == 0);
        QVERIFY2(bool(v) == expectValue, qPrintable(QString::number(k)));
        if (v)
            QCOMPARE(*v, b.record->valueText(k - 1).toDouble());
    }
}

QTEST_MAIN(AcquisitionTest)
#include "AcquisitionTest.moc"
