#include "FakeSerialPort.h"
#include "RecordTab.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "VoltageChartView.h"

#include <QCategoryAxis>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

namespace {

// A line that never goes quiet: every look at it finds more bytes.
class BabblingPort : public test::FakeSerialPort {
public:
    qint64 bytesAvailable() override
    {
        feed(QByteArray(100 * 1024, '7'));
        return FakeSerialPort::bytesAvailable();
    }
};

struct Fixture {
    explicit Fixture(QString dwell = "1", test::FakeSerialPort* customPort = nullptr)
        : port(customPort ? customPort : &ownPort), link(*port, prompter), dwellTime(std::move(dwell)),
          tab(link, prompter, [this] { return dwellTime; })
    {
        port->open();
    }
    template <class T> T* child(const char* name) { return tab.findChild<T*>(QLatin1String(name)); }
    QLineEdit* stime() { return child<QLineEdit>("txtStime"); }
    QLineEdit* ttime() { return child<QLineEdit>("txtTtime"); }
    VoltageChartView* chart() { return child<VoltageChartView>("mscVoltage"); }
    void setSettings(const QString& s, const QString& t)
    {
        stime()->setText(s);
        ttime()->setText(t);
    }
    // Fills the record with recognisable values.
    void fill(double base)
    {
        for (int k = 1; k <= tab.model().pointCount(); ++k)
            tab.model().setValue(k, base + k / 100.0);
    }
    void save(const QString& path, const QString& comment)
    {
        prompter.fileAnswers << path;
        prompter.textAnswers << comment;
        tab.findChild<QPushButton*>("cmdSave")->click();
    }
    void load(const QString& path)
    {
        prompter.fileAnswers << path;
        tab.findChild<QPushButton*>("cmdLoad")->click();
    }
    void answerDownload(const QByteArray& lines)
    {
        ownPort.setResponder([lines](const QByteArray& written) {
            return written == "1RDB\r" ? QByteArray("1RDB\r\n") + lines : QByteArray();
        });
    }

    test::FakeSerialPort ownPort;
    test::FakeSerialPort* port;
    test::ScriptedPrompter prompter;
    SerialLink link;
    QString dwellTime;
    RecordTab tab;
};

QByteArray valueLines(int count, double first = 8.0)
{
    QByteArray out;
    for (int k = 0; k < count; ++k)
        out += QByteArray::number(first - k / 1000.0, 'f', 3) + "\r\n";
    return out;
}

} // namespace

class RecordTabTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAsLaidOut();
    void enteringTheTabGivesAnEmptyRecord();
    void badSettingsStartNothing_data();
    void badSettingsStartNothing();
    void saveAndLoadThroughTheTab();
    void savedSettingsAreTheFieldsTexts();
    void commentWithCommasSavedAndLoaded_data();
    void commentWithCommasSavedAndLoaded();
    void cancelledDialogsChangeNothing();
    void shortFileKeepsPointsRead();
    void download_data();
    void download();
    void downloadWithoutAnswerChangesNothing();
    void downloadNeedsADwellTime_data();
    void downloadNeedsADwellTime();
    void babblingLineEndsTheDownload();
    void gapsBreakTheLine();
    void zoomAndPointReadout();
};

void RecordTabTest::controlsAsLaidOut()
{
    Fixture f;
    QCOMPARE(f.stime()->text(), QString("1"));
    QCOMPARE(f.ttime()->text(), QString("10"));
    QCOMPARE(f.child<QLabel>("Label38")->buddy(), f.stime());
    QCOMPARE(f.child<QLabel>("Label39")->buddy(), f.ttime());
    QCOMPARE(f.stime()->accessibleName(), QString("Seconds between samples"));
    QCOMPARE(f.ttime()->accessibleName(), QString("Total record time in minutes"));
    const QList<QStringList> buttons = {
        {"cmdAcquire", "Acquire", "Press this button to acquire voltage data from the Quarvel and plot the data."},
        {"cmdSave", "Save", "Save the graph data shown on this tab to a csv file."},
        {"cmdLoad", "Load", "Load data from a csv file to the graph shown on this tab."},
        {"cmdLoadFromQuarvel", "Load from Quarvel", "Press this button to download voltage data stored in the Quarvel."},
    };
    for (const QStringList& b : buttons) {
        auto* button = f.child<QPushButton>(qPrintable(b[0]));
        QVERIFY2(button, qPrintable(b[0]));
        QCOMPARE(button->text().replace('\n', ' '), b[1]);
        QCOMPARE(button->toolTip(), b[2]);
    }
    QCOMPARE(f.chart()->chart()->title(), QString("Battery Voltage"));
    QCOMPARE(f.chart()->timeAxis()->titleText(), QString("Time,Min"));
    QCOMPARE(f.tab.findChild<QTimer*>("tmrAcquire")->interval(), 1000);
    QCOMPARE(f.tab.acquisition(), RecordTab::Acquisition::Idle);
}

void RecordTabTest::enteringTheTabGivesAnEmptyRecord()
{
    Fixture f;
    f.tab.enterTab();
    QCOMPARE(f.tab.model().pointCount(), 600);
    QCOMPARE(f.chart()->timeAxis()->categoriesLabels().first(), QString("0"));
    QCOMPARE(f.chart()->timeAxis()->categoriesLabels().at(1), QString("1")); // point 61
    QCOMPARE(f.chart()->timeAxis()->endValue("1"), 60.0);
    for (int k = 1; k <= 600; ++k)
        QCOMPARE(f.tab.model().value(k), std::optional<double>(0.0));
}

void RecordTabTest::badSettingsStartNothing_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("t");
    QTest::addColumn<bool>("recordPossible"); // a record can be shown, though not sampled
    QTest::newRow("not a number") << "one" << "10" << false;
    QTest::newRow("S of 0") << "0" << "10" << false;
    QTest::newRow("too many points") << "0.01" << "10" << false;
    QTest::newRow("no point") << "90" << "1" << false;
    QTest::newRow("interval under 1 ms") << "0.0004" << "0.001" << true;
}

void RecordTabTest::badSettingsStartNothing()
{
    QFETCH(QString, s);
    QFETCH(QString, t);
    QFETCH(bool, recordPossible);
    Fixture f;
    f.tab.enterTab();
    f.fill(7);
    f.setSettings(s, t);
    f.child<QPushButton>("cmdAcquire")->click();
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.tab.acquisition(), RecordTab::Acquisition::Idle);
    QCOMPARE(f.tab.model().pointCount(), 600);
    QCOMPARE(f.tab.model().value(600), std::optional<double>(13.0));
    QVERIFY(!f.tab.findChild<QTimer*>("tmrAcquire")->isActive());
    if (recordPossible)
        return;
    f.tab.enterTab(); // entering the tab with such settings leaves the record too
    QCOMPARE(f.prompter.messages.size(), 2);
    QCOMPARE(f.tab.model().value(600), std::optional<double>(13.0));
}

void RecordTabTest::saveAndLoadThroughTheTab()
{
    QTemporaryDir dir;
    Fixture f;
    f.setSettings("30", "1");
    f.tab.enterTab();
    f.tab.model().setValue(1, 7.52);
    f.tab.model().setValue(2, 7.49);
    f.save(dir.filePath("pack.csv"), "pack 3");
    QCOMPARE(f.prompter.messages, QStringList());
    QCOMPARE(f.prompter.fileDialogs.last(), (QStringList{"Define data file name...", "*.csv", "*.csv"}));
    QCOMPARE(f.prompter.textPrompts, QStringList{"Enter comments."});
    QFile file(dir.filePath("pack.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.mid(1), (QList<QByteArray>{"Comments,pack 3\r", "Seconds between samples,30\r", "Total time in minutes,1\r",
                                              "Time,Voltage\r", "0,7.52\r", "0.5,7.49\r", ""}));

    Fixture g;
    g.tab.enterTab();
    g.load(dir.filePath("pack.csv"));
    QCOMPARE(g.prompter.messages, QStringList());
    QCOMPARE(g.prompter.fileDialogs.last(), (QStringList{"Load data file...", "*.csv", "*.csv"}));
    QCOMPARE(g.stime()->text(), QString("30"));
    QCOMPARE(g.ttime()->text(), QString("1"));
    QCOMPARE(g.chart()->caption(), QString("pack 3"));
    QCOMPARE(g.chart()->chart()->title(), QString("Battery Voltage"));
    QCOMPARE(g.tab.model().pointCount(), 2);
    QCOMPARE(g.tab.model().label(2), QString("0.5"));
    QCOMPARE(g.tab.model().value(1), std::optional<double>(7.52));
    QCOMPARE(g.tab.model().value(2), std::optional<double>(7.49));
    QCOMPARE(g.tab.model().cursor(), 2);
}

void RecordTabTest::savedSettingsAreTheFieldsTexts()
{
    QTemporaryDir dir;
    Fixture f;
    f.setSettings("30", "1");
    f.tab.enterTab();
    f.setSettings(" 5", "5.0"); // edited after the record was set up: written as they stand
    f.save(dir.filePath("edited.csv"), "c");
    QCOMPARE(f.prompter.messages, QStringList());
    QFile file(dir.filePath("edited.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.mid(2, 4), (QList<QByteArray>{"Seconds between samples, 5\r", "Total time in minutes,5.0\r",
                                                 "Time,Voltage\r", "0,0\r"}));
    QCOMPARE(lines.size(), 5 + 2 + 1); // the record's two points, then nothing after the last line end
}

void RecordTabTest::commentWithCommasSavedAndLoaded_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("loads"); // false: the pairing shifts and the file ends inside a pair
    QTest::newRow("one comma") << "one,two" << false;
    QTest::newRow("two commas") << "one,two,three" << true;
}

void RecordTabTest::commentWithCommasSavedAndLoaded()
{
    QFETCH(QString, comment);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath("pack.csv");
    Fixture f;
    f.setSettings("30", "1");
    f.tab.enterTab();
    f.tab.model().setValue(1, 7.52);
    f.tab.model().setValue(2, 7.49);
    f.save(path, comment);
    QCOMPARE(f.prompter.messages, QStringList());

    Fixture g;
    g.tab.enterTab();
    g.fill(3);
    g.load(path);
    QCOMPARE(g.chart()->caption(), QString("one"));
    if (loads) {
        QCOMPARE(g.prompter.messages, QStringList());
        QCOMPARE(g.stime()->text(), QString("30"));
        QCOMPARE(g.ttime()->text(), QString("1"));
        QCOMPARE(g.tab.model().pointCount(), 2);
        QCOMPARE(g.tab.model().value(1), std::optional<double>(7.52));
        QCOMPARE(g.tab.model().value(2), std::optional<double>(7.49));
        return;
    }
    QCOMPARE(g.prompter.messages.size(), 1);
    QVERIFY2(g.prompter.messages[0].contains("ends in the middle of a key"), qPrintable(g.prompter.messages[0]));
    QCOMPARE(g.stime()->text(), QString("1"));
    QCOMPARE(g.ttime()->text(), QString("10"));
    QCOMPARE(g.tab.model().pointCount(), 600);
    QCOMPARE(g.tab.model().label(2), QString("0.01666667"));
    QCOMPARE(g.tab.model().value(1), std::optional<double>(3.01));
    QCOMPARE(g.tab.model().value(600), std::optional<double>(9.0));
}

void RecordTabTest::cancelledDialogsChangeNothing()
{
    Fixture f;
    f.tab.enterTab();
    f.fill(7);
    f.child<QPushButton>("cmdSave")->click();
    f.child<QPushButton>("cmdLoad")->click();
    QCOMPARE(f.prompter.fileDialogs.size(), 2);
    QCOMPARE(f.prompter.textPrompts.size(), 0);
    QCOMPARE(f.prompter.messages.size(), 0);
    QCOMPARE(f.tab.model().value(600), std::optional<double>(13.0));
}

void RecordTabTest::shortFileKeepsPointsRead()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("short.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Date,x\r\nComments,c\r\nSeconds between samples,1\r\nTotal time in minutes,10\r\nTime,Voltage\r\n");
    for (int k = 0; k < 300; ++k)
        file.write(QByteArray::number(k / 60.0) + ",8\r\n");
    file.close();
    Fixture f;
    f.setSettings("2", "20");
    f.tab.enterTab();
    f.fill(7);
    f.prompter.fileAnswers << file.fileName();
    f.child<QPushButton>("cmdLoad")->click();
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY2(f.prompter.messages[0].contains("300 of the 600"), qPrintable(f.prompter.messages[0]));
    QCOMPARE(f.stime()->text(), QString("1"));
    QCOMPARE(f.tab.model().pointCount(), 600);
    QCOMPARE(f.tab.model().value(300), std::optional<double>(8.0));
    QCOMPARE(f.tab.model().label(300), QString::number(299 / 60.0));
    // Points the file did not reach keep what they held before the load.
    QCOMPARE(f.tab.model().value(301), std::optional<double>(7 + 301 / 100.0));
    QCOMPARE(f.tab.model().value(600), std::optional<double>(7 + 600 / 100.0));
    QCOMPARE(f.tab.model().label(301), QString("5"));
}

void RecordTabTest::download_data()
{
    QTest::addColumn<QString>("dwell");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("filled");
    QTest::newRow("300 lines") << "1" << 300 << "5" << 300 << 300;
    QTest::newRow("310 lines") << "1" << 310 << "5" << 300 << 300;
    QTest::newRow("120 lines") << "1" << 120 << "5" << 300 << 120;
    QTest::newRow("dwell 0.3") << "0.3" << 300 << "1.5" << 299 << 299;
    QTest::newRow("dwell 2") << "2" << 300 << "10" << 300 << 300;
    QTest::newRow("dwell 0.5") << " 0.5" << 300 << "2.5" << 300 << 300;
}

void RecordTabTest::download()
{
    QFETCH(QString, dwell);
    QFETCH(int, lines);
    QFETCH(QString, minutes);
    QFETCH(int, points);
    QFETCH(int, filled);
    Fixture f(dwell);
    f.tab.enterTab();
    f.fill(3);
    f.answerDownload(valueLines(lines));
    f.child<QPushButton>("cmdLoadFromQuarvel")->click();
    QCOMPARE(f.prompter.messages, QStringList());
    QCOMPARE(f.port->written(), QByteArray("1RDB\r"));
    QCOMPARE(f.stime()->text(), dwell);
    QCOMPARE(f.ttime()->text(), minutes);
    RecordModel& model = f.tab.model();
    QCOMPARE(model.pointCount(), points);
    if (dwell == "1")
        QCOMPARE(model.label(300), QString("4.983333"));
    QCOMPARE(model.value(1), std::optional<double>(8.0));
    QCOMPARE(model.value(filled), std::optional<double>(8.0 - (filled - 1) / 1000.0));
    // Points the reply did not reach keep what they held before the download.
    for (int k = filled + 1; k <= points; ++k)
        QCOMPARE(model.value(k), std::optional<double>(3 + k / 100.0));
    QCOMPARE(model.cursor(), std::min(filled + 1, points));
}

void RecordTabTest::downloadWithoutAnswerChangesNothing()
{
    Fixture f("2");
    f.tab.enterTab();
    f.fill(7);
    f.child<QPushButton>("cmdLoadFromQuarvel")->click();
    QCOMPARE(f.port->written(), QByteArray("1RDB\r"));
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages[0].contains("sent no stored record"));
    QCOMPARE(f.stime()->text(), QString("1"));
    QCOMPARE(f.ttime()->text(), QString("10"));
    QCOMPARE(f.tab.model().pointCount(), 600);
    QCOMPARE(f.tab.model().value(600), std::optional<double>(13.0));
}

void RecordTabTest::downloadNeedsADwellTime_data()
{
    QTest::addColumn<QString>("dwell");
    QTest::newRow("empty") << "";
    QTest::newRow("not a number") << "fast";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-1";
}

void RecordTabTest::downloadNeedsADwellTime()
{
    QFETCH(QString, dwell);
    Fixture f(dwell);
    f.tab.enterTab();
    f.answerDownload(valueLines(300));
    f.child<QPushButton>("cmdLoadFromQuarvel")->click();
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.port->written(), QByteArray());
    QCOMPARE(f.tab.model().pointCount(), 600);
}

void RecordTabTest::babblingLineEndsTheDownload()
{
    BabblingPort port;
    Fixture f("1", &port);
    f.tab.enterTab();
    f.fill(7);
    f.child<QPushButton>("cmdLoadFromQuarvel")->click();
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY2(f.prompter.messages[0].contains("more than 1 MiB"), qPrintable(f.prompter.messages[0]));
    QCOMPARE(f.tab.model().pointCount(), 600);
    QCOMPARE(f.tab.model().value(600), std::optional<double>(13.0));
}

void RecordTabTest::gapsBreakTheLine()
{
    Fixture f;
    f.setSettings("30", "5"); // 10 points
    f.tab.enterTab();
    f.fill(7);
    f.tab.model().setValue(4, std::nullopt);
    f.tab.model().setValue(5, std::nullopt);
    QList<QLineSeries*> pieces = f.chart()->lineSegments();
    QCOMPARE(pieces.size(), 2);
    QCOMPARE(pieces[0]->points().last(), QPointF(2, 7.03));
    QCOMPARE(pieces[1]->points().first(), QPointF(5, 7.06));
    f.tab.model().setValue(4, 7.2);
    f.tab.model().setValue(5, 7.2);
    QCOMPARE(f.chart()->lineSegments().size(), 1);
}

void RecordTabTest::zoomAndPointReadout()
{
    Fixture f;
    f.setSettings("30", "5"); // 10 points, many pixels apart
    f.tab.enterTab();
    f.fill(7);
    f.tab.model().setValue(7, std::nullopt);
    f.tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.tab));
    VoltageChartView* view = f.chart();
    QChart* chart = view->chart();
    const auto pointAt = [&](double index) {
        const QPointF inChart = chart->mapToPosition(QPointF(index, 7.05));
        return view->mapFromScene(chart->mapToScene(inChart));
    };
    QTest::mouseMove(view->viewport(), pointAt(4));
    QCOMPARE(view->pointReadout(), QString("Time 2 min, 7.05 V"));
    QTest::mouseMove(view->viewport(), pointAt(6));
    QCOMPARE(view->pointReadout(), QString("Time 3 min, no value"));

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Plus);
    QVERIFY(view->isZoomed());
    QVERIFY(view->timeAxis()->max() - view->timeAxis()->min() < 9);
    f.tab.model().setValue(1, 20); // a sample while zoomed leaves the zoom alone
    QVERIFY(view->voltageAxis()->max() < 20);
    QTest::keyClick(view, Qt::Key_Home);
    QVERIFY(!view->isZoomed());
    QCOMPARE(view->timeAxis()->min(), 0.0);
    QCOMPARE(view->timeAxis()->max(), 9.0);
    QVERIFY(view->voltageAxis()->max() >= 20);
}

QTEST_MAIN(RecordTabTest)
#include "RecordTabTest.moc"
