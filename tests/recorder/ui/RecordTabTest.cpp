// The Record tab against the in-process instrument: acquisition tick by tick, re-entry, files
// and the download of the stored record, and the chart.
#include "recorder/SampleTimer.h"
#include "recorder/ui/RecordTab.h"
#include "recorder/ui/VoltageChartView.h"
#include "support/FakeSerialPort.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

#include <QCategoryAxis>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

namespace {

struct Tab {
    Tab()
    {
        rig.instrument.application().addLineHandler([this](const QString& command) {
            std::optional<std::vector<sim::Chunk>> answer;
            if (command == "RNV" && !volts.isEmpty())
                answer = std::vector<sim::Chunk>{{volts.takeFirst() + "\r\n", 0}};
            return answer;
        });
    }
    template <class T> T* child(const char* name) { return tab.findChild<T*>(QLatin1String(name)); }
    QLineEdit* field(const char* name) { return child<QLineEdit>(name); }
    void setSettings(const QString& s, const QString& t)
    {
        field("txtStime")->setText(s);
        field("txtTtime")->setText(t);
    }
    void click(const char* name) { child<QPushButton>(name)->click(); }
    void tick() { emit tab.findChild<SampleTimer*>()->sampleDue(); } // the sampling timer's tick
    std::optional<double> value(int point) { return tab.model().value(point); }

    test::SimRig rig;
    QString dwell = "1";  // the "Record dwell time" field
    QList<QByteArray> volts; // the instrument's answers to "1RNV", in turn
    RecordTab tab{rig.link, rig.prompter, [this] { return dwell; }};
};

// A line that never goes quiet: every look at it finds more bytes.
class BabblingPort : public test::FakeSerialPort {
public:
    qint64 bytesAvailable() override
    {
        feed(QByteArray(100 * 1024, '7'));
        return FakeSerialPort::bytesAvailable();
    }
};

using Values = QList<double>; // NaN: a gap

} // namespace

class RecordTabTest : public QObject {
    Q_OBJECT
private slots:
    void controls_carryTheirTextsAndTips();
    void acquisition_runsAcrossTabChangesAndSavesTheRecordAsTaken();
    void sampleDuringAnExchange_waitsForItsEnd();
    void badSettings_startNothing_data();
    void badSettings_startNothing();
    void fullRecord_stopsAcquiring();
    void download_data();
    void download();
    void failedDownload_changesNothing_data();
    void failedDownload_changesNothing();
    void babblingLine_endsTheDownload();
    void load_showsWhatTheFileHolds_data();
    void load_showsWhatTheFileHolds();
    void chart_labelsShowInFullAndTheChartGrows();
    void keptRecord_isOfferedAtTheNextStartAndGoesOnceSaved();
};

void RecordTabTest::controls_carryTheirTextsAndTips()
{
    Tab t;
    QStringList shown{t.field("txtStime")->text(), t.field("txtTtime")->text()};
    for (const char* name : {"cmdAcquire", "cmdSave", "cmdLoad", "cmdLoadFromQuarvel"})
        shown << t.child<QPushButton>(name)->text().replace('\n', ' ') << t.child<QPushButton>(name)->toolTip();
    QCOMPARE(shown, QStringList({"1", "10", "Acquire",
                                 "Press this button to acquire voltage data from the Quarvel and plot the data.", "Save",
                                 "Save the graph data shown on this tab to a csv file.", "Load",
                                 "Load data from a csv file to the graph shown on this tab.", "Load from Quarvel",
                                 "Press this button to download voltage data stored in the Quarvel."}));
    auto* chart = t.child<VoltageChartView>("mscVoltage");
    QCOMPARE(chart->chart()->title(), QString("Battery Voltage"));
    QCOMPARE(chart->timeAxis()->titleText(), QString("Time,Min"));
    QCOMPARE(t.child<QTimer>("tmrAcquire")->interval(), 1000);
}

void RecordTabTest::acquisition_runsAcrossTabChangesAndSavesTheRecordAsTaken()
{
    Tab t;
    qint64 now = 0;
    t.tab.findChild<SampleTimer*>()->setClock([&now] { return now; });
    t.setSettings("30", "1");
    t.tab.enterTab();
    t.volts = {"7.52", "7.49", "7.4"};
    t.click("cmdAcquire");
    QVERIFY(t.field("txtStime")->isReadOnly() && t.field("txtTtime")->isReadOnly());
    t.tick(); // due at 30 s: point 1 of 2
    t.tick(); // due at 60 s: the cursor stands on the last point, so the record doubles first
    QCOMPARE(t.field("txtTtime")->text(), QString("2"));
    QCOMPARE(t.value(1), std::optional<double>(7.52));
    QCOMPARE(t.value(2), std::optional<double>(7.49));

    now = 70000;
    t.tab.leaveTab();
    QCOMPARE(t.tab.acquisition().state(), LiveAcquisition::State::Suspended);
    now = 130000; // the samples due at 90 s and 120 s were missed
    t.tab.enterTab();
    QCOMPARE(t.tab.acquisition().state(), LiveAcquisition::State::Acquiring);
    const int remaining = t.child<QTimer>("tmrAcquire")->remainingTime(); // -1: stopped
    QVERIFY2(remaining > 0 && remaining <= 20000, qPrintable(QString::number(remaining))); // next due at 150 s
    t.tick(); // lands on point 5 (2 min) of a record grown to 4 minutes
    t.rig.instrument.application().faults().silent = true;
    t.tick(); // no answer: a gap, and the cursor goes on
    QCOMPARE(t.tab.model().cursor(), 7);
    t.click("cmdAcquire");
    QVERIFY(!t.field("txtStime")->isReadOnly() && !t.field("txtTtime")->isReadOnly());
    t.tab.leaveTab();
    t.setSettings("5", "5"); // edited after the record was taken: not the record's settings
    t.tab.enterTab();        // a stopped record stays

    QTemporaryDir dir;
    t.rig.prompter.fileAnswers << dir.filePath("pack.csv");
    t.rig.prompter.textAnswers << "5\" prop, hot";
    t.click("cmdSave");
    QCOMPARE(t.rig.prompter.messages, QStringList("Each double quote of the comment was saved as two apostrophes "
                                                  "(''), so that the file gives back the whole comment."));
    QCOMPARE(test::readFile(dir.filePath("pack.csv")).split('\n').mid(1),
             QByteArrayList({"Comments,\"5'' prop, hot\"\r", "Seconds between samples,30\r", "Total time in minutes,4\r",
                             "Time,Voltage\r", "0,7.52\r", "0.5,7.49\r", "1,\r", "1.5,\r", "2,7.4\r", "2.5,\r", "3,\r",
                             "3.5,\r", ""}));
}

void RecordTabTest::sampleDuringAnExchange_waitsForItsEnd()
{
    Tab t;
    SampleTimer timer(t.rig.link);
    QSignalSpy due(&timer, &SampleTimer::sampleDue);
    timer.start(60000);
    auto* tmrAcquire = timer.findChild<QTimer*>("tmrAcquire");
    {
        BusyScope exchange(t.rig.link);
        QMetaObject::invokeMethod(tmrAcquire, "timeout");
        QMetaObject::invokeMethod(tmrAcquire, "timeout");
        QCOMPARE(due.count(), 0);
    }
    QCoreApplication::processEvents(); // the ticks missed count once, right after the exchange
    QCOMPARE(due.count(), 1);
}

void RecordTabTest::badSettings_startNothing_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("t");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a number") << "one" << "10"
                                  << "\"one\" is not a valid number of seconds between samples: enter a number greater "
                                     "than 0.";
    QTest::newRow("too many points") << "1" << "640"
                                     << "A total record time of 640 minutes with 1 seconds between samples needs 38400 "
                                        "points; a record holds at most 32767.";
    QTest::newRow("shorter than an exchange") << "0.059" << "10"
                                              << "Samples cannot be taken every 0.059 seconds: reading the voltage "
                                                 "from the Quarvel takes about 55 ms. Enter at least 0.06 seconds "
                                                 "between samples.";
    QTest::newRow("one exchange") << "0.06" << "10" << "";
}

void RecordTabTest::badSettings_startNothing()
{
    QFETCH(QString, s);
    QFETCH(QString, t);
    QFETCH(QString, message);
    Tab tab;
    tab.setSettings(s, t);
    tab.click("cmdAcquire");
    QCOMPARE(tab.rig.prompter.messages, message.isEmpty() ? QStringList() : QStringList(message));
    QCOMPARE(tab.tab.acquisition().state(),
             message.isEmpty() ? LiveAcquisition::State::Acquiring : LiveAcquisition::State::Idle);
}

void RecordTabTest::fullRecord_stopsAcquiring()
{
    Tab t;
    t.setSettings("60", "32760"); // doubling would need 65520 points
    t.volts = {"7.2"};
    t.click("cmdAcquire");
    t.tab.model().setCursor(32760);
    t.tick();
    QCOMPARE(t.rig.prompter.messages, QStringList("The record is full: doubling its time again would need more than "
                                                  "32767 points. Acquisition has stopped; the record is kept."));
    QCOMPARE(t.tab.acquisition().state(), LiveAcquisition::State::Full);
    QCOMPARE(t.child<QPushButton>("cmdAcquire")->text(), QString("Acquire"));
    QCOMPARE(t.value(32760), std::optional<double>(7.2)); // the last point was still sampled
}

void RecordTabTest::download_data()
{
    QTest::addColumn<QString>("dwell");
    // The instrument's record: length, empty line after, pause after, "ERR" every; and whether the
    // answer to a sample still waits when the download begins.
    QTest::addColumn<QList<int>>("record");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("received");
    QTest::newRow("whole, dwell 0.3, a value too many") << "0.3" << QList<int>{300, -1, -1, 0, 0} << "1.5" << 299 << 299;
    QTest::newRow("short, after a late sample") << " 2" << QList<int>{30, -1, -1, 0, 1} << "10" << 300 << 30;
    QTest::newRow("empty line inside") << "1" << QList<int>{60, 50, -1, 0, 0} << "5" << 300 << 50;
    QTest::newRow("pause inside") << "1" << QList<int>{60, -1, 40, 0, 0} << "5" << 300 << 40;
    QTest::newRow("not numbers") << "1" << QList<int>{20, -1, -1, 7, 0} << "5" << 300 << 20;
}

void RecordTabTest::download()
{
    QFETCH(QString, dwell);
    QFETCH(QList<int>, record);
    QFETCH(QString, minutes);
    QFETCH(int, points);
    QFETCH(int, received);
    Tab t;
    t.dwell = dwell;
    sim::StoredRecord& stored = t.rig.instrument.storedRecord();
    stored.options() = {record[0], record[1], record[2], 250, record[3]};
    t.tab.enterTab();
    for (int k = 1; k <= 600; ++k)
        t.tab.model().setValue(k, 3); // an earlier record: none of it may stay
    if (record[4]) {
        t.rig.port.write("1RNV\r");
        QTRY_COMPARE(t.rig.port.bytesAvailable(), qint64(11)); // echo and value
    }
    t.click("cmdLoadFromQuarvel");
    const QString shortMessage = QString("The Quarvel sent %1 values for a record of 300 points: the points after the "
                                         "last value are gaps.")
                                     .arg(received);
    QCOMPARE(t.rig.prompter.messages, received < points ? QStringList(shortMessage) : QStringList());
    QCOMPARE(t.field("txtStime")->text(), dwell);
    QCOMPARE(t.field("txtTtime")->text(), minutes);
    QCOMPARE(t.tab.model().pointCount(), points);
    for (int k = 1; k <= points; ++k) {
        const QString sent = k <= received ? stored.valueText(k - 1) : QString();
        QCOMPARE(t.value(k), sent == "ERR" || sent.isEmpty() ? std::nullopt : std::optional<double>(sent.toDouble()));
    }
}

void RecordTabTest::failedDownload_changesNothing_data()
{
    QTest::addColumn<QString>("dwell");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("message");
    QTest::newRow("no answer") << "2" << true << 300
                               << "The Quarvel did not answer. Check that it is connected and switched on, then try "
                                  "again.";
    QTest::newRow("no stored record") << "2" << false << 0 << "The Quarvel holds no stored record.";
    QTest::newRow("no dwell time") << "" << false << 300
                                   << "The Record dwell time \"\" is not a number of seconds greater than 0, so the "
                                      "stored record cannot be placed in time. Read or enter the Record dwell time "
                                      "first.";
}

void RecordTabTest::failedDownload_changesNothing()
{
    QFETCH(QString, dwell);
    QFETCH(bool, silent);
    QFETCH(int, length);
    QFETCH(QString, message);
    Tab t;
    t.dwell = dwell;
    t.rig.instrument.application().faults().silent = silent;
    t.rig.instrument.storedRecord().options().length = length;
    t.tab.enterTab();
    t.click("cmdLoadFromQuarvel");
    QCOMPARE(t.rig.prompter.messages, QStringList(message));
    QCOMPARE(t.tab.model().pointCount(), 600);
}

void RecordTabTest::babblingLine_endsTheDownload()
{
    BabblingPort port;
    port.open();
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    RecordTab tab(link, prompter, [] { return QString("1"); });
    tab.findChild<QPushButton*>("cmdLoadFromQuarvel")->click();
    QCOMPARE(prompter.messages, QStringList("The Quarvel sent more than 1 MiB without a pause: that is not a stored "
                                            "record. Nothing was loaded."));
    QCOMPARE(tab.model().pointCount(), 0);
}

void RecordTabTest::load_showsWhatTheFileHolds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<Values>("values"); // the first four points
    const QByteArray header = "Date,1.1.24\r\nComments,\"short, not full\"\r\nSeconds between samples,30\r\n";
    QTest::newRow("short") << header + "Total time in minutes,2\r\nTime,Voltage\r\n0,7.5\r\n0.5,\r\n"
                           << "The file ends after 2 of the 4 points its settings describe; the points read are shown."
                           << "30" << Values{7.5, NAN, NAN, NAN};
    QTest::newRow("not a record") << header << "This is not a record file: it holds no \"Time,Voltage\" line. "
                                               "Nothing was loaded."
                                  << "7" << Values{7, 7, 7, 7};
}

void RecordTabTest::load_showsWhatTheFileHolds()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    QFETCH(QString, seconds);
    QFETCH(Values, values);
    QTemporaryDir dir;
    test::writeFile(dir.filePath("record.csv"), file);
    Tab t;
    t.setSettings("7", "0.5");
    t.tab.enterTab();
    for (int k = 1; k <= 4; ++k)
        t.tab.model().setValue(k, 7);
    t.rig.prompter.fileAnswers << dir.filePath("record.csv");
    t.click("cmdLoad");
    QCOMPARE(t.rig.prompter.messages, QStringList(message));
    QCOMPARE(t.field("txtStime")->text(), seconds);
    QCOMPARE(t.child<VoltageChartView>("mscVoltage")->caption(), QString(seconds == "7" ? "" : "short, not full"));
    QCOMPARE(t.tab.model().pointCount(), int(values.size()));
    for (int k = 1; k <= values.size(); ++k)
        QCOMPARE(t.value(k), std::isnan(values[k - 1]) ? std::nullopt : std::optional<double>(values[k - 1]));
}

void RecordTabTest::chart_labelsShowInFullAndTheChartGrows()
{
    Tab t;
    t.setSettings("7", "10"); // 85 points, a label every 8th: 0.9333333 minutes and so on
    t.tab.resize(530, 330);
    t.tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.tab));
    t.tab.enterTab();
    for (int k = 1; k <= 40; ++k)
        t.tab.model().setValue(k, k == 5 ? 8.35 : 8.0);
    auto* view = t.child<VoltageChartView>("mscVoltage");
    const auto shownInFull = [view] {
        QStringList shown;
        for (QGraphicsItem* item : view->scene()->items()) {
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
                shown << text->toPlainText();
        }
        const QStringList labels = view->timeAxis()->categoriesLabels();
        return labels.size() >= 4 && std::all_of(labels.begin(), labels.end(), [&](auto& l) { return shown.contains(l); });
    };
    QTRY_VERIFY(shownInFull());
    QCOMPARE(view->lineSegments().last()->points().last(), QPointF(39, 8.0)); // no line where nothing was sampled

    const int width = view->width();
    t.tab.resize(1060, 660);
    QVERIFY(view->width() > width + 350); // all the room but that of the tools beside it
    QTRY_VERIFY(shownInFull());

    const QPointF at = view->chart()->mapToPosition(QPointF(4, 8.35));
    QTest::mouseMove(view->viewport(), view->mapFromScene(view->chart()->mapToScene(at)));
    QCOMPARE(view->pointReadout(), QString("Time 0.4666667 min, 8.35 V"));
}

void RecordTabTest::keptRecord_isOfferedAtTheNextStartAndGoesOnceSaved()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("state");
    {
        Tab t; // a window that takes a record and ends without saving it
        t.tab.keepRecordsIn(folder);
        t.setSettings("30", "2");
        t.volts = {"7.52", "7.49"};
        t.click("cmdAcquire");
        t.tick();
        t.tick();
    }
    Tab t;
    t.tab.keepRecordsIn(folder);
    auto* bar = t.child<QWidget>("keptRecordBar");
    QVERIFY(!bar->isHidden());
    const QString offer = bar->findChild<QLabel*>()->text();
    QVERIFY2(offer.contains(QDate::currentDate().toString("yyyy-MM-dd")) && offer.contains("with 2 samples"),
             qPrintable(offer));
    t.click("cmdRestoreKept");
    QVERIFY(bar->isHidden());
    QCOMPARE(t.field("txtStime")->text(), QString("30"));
    QCOMPARE(t.field("txtTtime")->text(), QString("2"));
    QCOMPARE(t.value(1), std::optional<double>(7.52));
    QCOMPARE(t.value(2), std::optional<double>(7.49));
    QVERIFY(!t.value(3));

    t.rig.prompter.fileAnswers.enqueue(dir.filePath("saved.csv"));
    t.click("cmdSave");
    QVERIFY(QFile::exists(dir.filePath("saved.csv")));
    Tab next;
    next.tab.keepRecordsIn(folder);
    QVERIFY(next.child<QWidget>("keptRecordBar")->isHidden()); // saved: nothing left to offer
}

QTEST_MAIN(RecordTabTest)
#include "RecordTabTest.moc"
