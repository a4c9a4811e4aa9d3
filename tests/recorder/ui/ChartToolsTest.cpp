// The tools beside the Record tab's chart: readouts of a record with gaps, limit lines, marks,
// overlays that never reach the record or its file, and the chart image.
#include "recorder/SampleTimer.h"
#include "recorder/ui/ChartLimitLines.h"
#include "recorder/ui/ChartMarks.h"
#include "recorder/ui/ChartOverlays.h"
#include "recorder/ui/ChartReadouts.h"
#include "recorder/ui/ChartTools.h"
#include "recorder/ui/RecordTab.h"
#include "recorder/ui/VoltageChartView.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

namespace {

const QByteArray kRecord = "Date,24.05.2024\r\nComments,pack 3\r\nSeconds between samples,60\r\n"
                           "Total time in minutes,7\r\nTime,Voltage\r\n0,8\r\n1,\r\n2,7.5\r\n3,7.4\r\n4,\r\n"
                           "5,7.2\r\n6,6.9\r\n";
const QByteArray kOther = "Date,01.06.2024\r\nComments,pack 4\r\nSeconds between samples,30\r\n"
                          "Total time in minutes,1\r\nTime,Voltage\r\n0,9.5\r\n0.5,5.1\r\n";

struct Tab {
    Tab()
    {
        writeFile(dir.filePath("record.csv"), kRecord);
        writeFile(dir.filePath("other.csv"), kOther);
        tab.resize(900, 400);
        tab.show();
        tools()->setLevelSource([this](ChartTools::Profile p) {
            return p == ChartTools::ProfileA ? VoltageLimits::fromTexts(high.text(), warning.text(), low.text())
                                             : VoltageLimits{};
        });
        rig.prompter.fileAnswers.enqueue(dir.filePath("record.csv"));
        tab.findChild<QPushButton*>("cmdLoad")->click();
    }
    ChartTools* tools() { return tab.chartTools(); }
    VoltageChartView* view() { return tab.findChild<VoltageChartView*>(); }
    // Where point `index` with value `volts` is drawn, in the view's coordinates.
    QPoint place(double index, double volts)
    {
        const QPointF at = view()->chart()->mapToPosition(QPointF(index, volts), view()->lineSegments().first());
        return view()->mapFromScene(view()->chart()->mapToScene(at));
    }

    QTemporaryDir dir;
    SimRig rig;
    QLineEdit high{"8.4"};
    QLineEdit warning{"7.4"};
    QLineEdit low{"7"};
    RecordTab tab{rig.link, rig.prompter, [] { return QString("1"); }};
};

} // namespace

class ChartToolsTest : public QObject {
    Q_OBJECT
private slots:
    void readouts_leaveGapsOutAndFollowTheLimits();
    void marks_showTheDifferenceAndEscapeClearsThem();
    void overlays_neverReachTheRecordOrItsFile();
    void image_isTheChartAsShown();
};

void ChartToolsTest::readouts_leaveGapsOutAndFollowTheLimits()
{
    Tab t;
    QCOMPARE(t.tools()->readouts().text(), QString("Minimum: 6.90 V\nMaximum: 8.00 V\nMean: 7.40 V\n"
                                                   "Below Warning: no level\nBelow Low: no level"));
    QVERIFY(t.tools()->limitLines().lines().isEmpty());

    t.tools()->limitsChoice()->setCurrentIndex(ChartTools::ProfileA);
    QCOMPARE(t.tools()->readouts().text(), QString("Minimum: 6.90 V\nMaximum: 8.00 V\nMean: 7.40 V\n"
                                                   "Below Warning: 5 min\nBelow Low: 6 min"));
    const QList<QLineSeries*> lines = t.tools()->limitLines().lines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1]->points().first(), QPointF(0, 7.4));
    QCOMPARE(lines[1]->points().last(), QPointF(6, 7.4));

    t.warning.setText("7.6"); // an edit of the field, then the window's notice of it
    t.low.setText("");
    t.tools()->levelsChanged();
    QCOMPARE(t.tools()->limitLines().lines().size(), 2);
    QVERIFY(t.tools()->readouts().text().endsWith("Below Warning: 2 min\nBelow Low: no level"));

    // While a record is taken, the latest sample shows first.
    t.tab.findChild<QPushButton*>("cmdAcquire")->click();
    QVERIFY(t.tools()->readouts().text().startsWith("Latest: no value\n"));
    emit t.tab.findChild<SampleTimer*>()->sampleDue();
    const std::optional<double> sample = t.tab.model().value(1);
    QVERIFY(sample);
    QVERIFY2(t.tools()->readouts().text().startsWith(QString("Latest: %1 V\n").arg(*sample, 0, 'f', 2)),
             qPrintable(t.tools()->readouts().text()));
    t.tab.findChild<QPushButton*>("cmdAcquire")->click();
    QVERIFY(t.tools()->readouts().text().startsWith("Minimum: "));
}

void ChartToolsTest::marks_showTheDifferenceAndEscapeClearsThem()
{
    Tab t;
    ChartMarks& marks = t.tools()->marks();
    QTest::mouseClick(t.view()->viewport(), Qt::LeftButton, {}, t.place(2, 7.5));
    QTest::mouseClick(t.view()->viewport(), Qt::LeftButton, {}, t.place(6, 6.9)); // on the plot's edge
    QCOMPARE(marks.points(), (QList<QPointF>{{2, 7.5}, {6, 6.9}}));
    QCOMPARE(marks.difference(), QString("Δt 4 min, ΔV -0.6 V"));
    QVERIFY(!t.view()->isZoomed()); // a click is no zoom

    // A click in a gap marks the gap's point at the voltage clicked.
    QTest::mouseClick(t.view()->viewport(), Qt::LeftButton, {}, t.place(4, 7.0));
    QCOMPARE(marks.points().size(), 1);
    QCOMPARE(marks.points().first().x(), 4.0);
    QVERIFY(std::abs(marks.points().first().y() - 7.0) < 0.05);

    QTest::keyClick(t.view(), Qt::Key_Escape);
    QVERIFY(marks.points().isEmpty());
    QTest::keyClick(t.view(), Qt::Key_M); // the keyboard's mark: the middle of the view
    QCOMPARE(marks.points().size(), 1);
    QCOMPARE(marks.points().first().x(), 3.0);
}

void ChartToolsTest::overlays_neverReachTheRecordOrItsFile()
{
    Tab t;
    t.tools()->limitsChoice()->setCurrentIndex(ChartTools::ProfileA);
    t.rig.prompter.fileAnswers.enqueue(t.dir.filePath("other.csv"));
    t.tab.findChild<QPushButton*>("cmdCompare")->click();
    writeFile(t.dir.filePath("notes.csv"), "Name,Value\r\n");
    QVERIFY(!t.tools()->addOverlay(t.dir.filePath("notes.csv")));
    QCOMPARE(t.rig.prompter.messages,
             QStringList{"This is not a record file: it holds no \"Time,Voltage\" line. Nothing was loaded."});
    const auto* list = t.tab.findChild<QListWidget*>("lstOverlays");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QString("pack 4, 01.06.2024"));
    // Drawn on the record's time axis: 30 s after the start is half a point of 60 s.
    QList<QPointF> drawn;
    for (QAbstractSeries* s : t.view()->chart()->series()) {
        if (s->name() == "pack 4, 01.06.2024")
            drawn += static_cast<QLineSeries*>(s)->points();
    }
    QCOMPARE(drawn, (QList<QPointF>{{0, 9.5}, {0.5, 5.1}}));
    QVERIFY(t.view()->voltageAxis()->min() <= 5.1 && t.view()->voltageAxis()->max() >= 9.5);

    QCOMPARE(t.tab.findChild<QLineEdit*>("txtStime")->text(), QString("60"));
    QCOMPARE(t.tab.findChild<QLineEdit*>("txtTtime")->text(), QString("7"));
    QCOMPARE(t.tab.model().pointCount(), 7);
    t.rig.prompter.fileAnswers.enqueue(t.dir.filePath("saved.csv"));
    t.rig.prompter.textAnswers.enqueue("pack 3");
    t.tab.findChild<QPushButton*>("cmdSave")->click();
    const QByteArray saved = readFile(t.dir.filePath("saved.csv"));
    QCOMPARE(saved.mid(saved.indexOf("\r\n") + 2), kRecord.mid(kRecord.indexOf("\r\n") + 2)); // all but the date

    // A record of another interval puts the overlay on its own time axis at once.
    t.rig.prompter.fileAnswers.enqueue(t.dir.filePath("other.csv"));
    t.tab.findChild<QPushButton*>("cmdLoad")->click();
    drawn.clear();
    for (QAbstractSeries* s : t.view()->chart()->series()) {
        if (s->name() == "pack 4, 01.06.2024")
            drawn += static_cast<QLineSeries*>(s)->points();
    }
    QCOMPARE(drawn, (QList<QPointF>{{0, 9.5}, {1, 5.1}}));

    t.tab.findChild<QPushButton*>("cmdRemoveOverlay")->click();
    QCOMPARE(list->count(), 0);
    QVERIFY(t.tools()->overlays().curves().isEmpty());
    for (QAbstractSeries* s : t.view()->chart()->series())
        QVERIFY(s->name() != "pack 4, 01.06.2024");
}

void ChartToolsTest::image_isTheChartAsShown()
{
    Tab t;
    QCOMPARE(t.tools()->saveImage(t.dir.filePath("chart.png")), QString());
    const QImage image(t.dir.filePath("chart.png"));
    QCOMPARE(image.size(), t.view()->size());
    // The record's line is in it.
    bool line = false;
    for (int y = 0; y < image.height() && !line; ++y) {
        for (int x = 0; x < image.width() && !line; ++x)
            line = image.pixelColor(x, y) == QColor(0x1f, 0x4e, 0xa8);
    }
    QVERIFY(line);
}

QTEST_MAIN(ChartToolsTest)
#include "ChartToolsTest.moc"
