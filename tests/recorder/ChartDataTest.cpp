// What the chart reads off a record and keeps beside it: statistics and limit crossings, records
// to compare, and the battery history file.
#include "recorder/BatteryHistory.h"
#include "recorder/RecordCurve.h"
#include "recorder/RecordStatistics.h"
#include "recorder/VoltageLimits.h"
#include "support/FullDisk.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <thread>

using namespace quarvel;
using namespace quarvel::test;

namespace {
BatteryReport report(const QString& pack, const QString& impedance)
{
    return {QDateTime(QDate(2026, 12, 7), QTime(14, 30, 5)), "Quarvel V1.2", pack, "Receiver", "8.41", "7.9",
            impedance};
}
} // namespace

class ChartDataTest : public QObject {
    Q_OBJECT
private slots:
    void statistics_leaveGapsOut_data();
    void statistics_leaveGapsOut();
    void limits_takeThreeNumbers();
    void curve_isNamedByCommentAndDate_andRefusesOtherFiles();
    void history_keepsOneRowPerReport();
    void history_survivesAFailedWrite();
    void history_leavesAForeignFileAlone();
    void history_keepsEveryRowOfTwoWritersAtOnce();
    void history_lastRowWithoutLineEnd_staysARow();
};

void ChartDataTest::statistics_leaveGapsOut_data()
{
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("mean");
    QTest::addColumn<int>("belowWarning"); // -1: never
    QTest::addColumn<int>("belowLow");
    // Warning 7.4 V, Low 7 V.
    QTest::newRow("falls through both") << std::vector<double>{8.0, NAN, 7.5, 7.4, NAN, 7.2, 6.9} << 6.9 << 8.0 << 7.4
                                        << 5 << 6;
    QTest::newRow("a gap is no crossing") << std::vector<double>{NAN, 7.6, NAN, NAN, 7.8} << 7.6 << 7.8 << 7.7 << -1
                                          << -1;
    QTest::newRow("below from the start") << std::vector<double>{6.5, 7.5} << 6.5 << 7.5 << 7.0 << 0 << 0;
}

void ChartDataTest::statistics_leaveGapsOut()
{
    QFETCH(std::vector<double>, values);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, mean);
    QFETCH(int, belowWarning);
    QFETCH(int, belowLow);
    const RecordStatistics s = RecordStatistics::of(values, 7.4, 7.0);
    QCOMPARE(s.minimum, minimum);
    QCOMPARE(s.maximum, maximum);
    QVERIFY(std::abs(s.mean - mean) < 1e-9);
    QCOMPARE(s.firstBelowWarning.value_or(-1), belowWarning);
    QCOMPARE(s.firstBelowLow.value_or(-1), belowLow);

    const RecordStatistics none = RecordStatistics::of({NAN, NAN}, 7.4, std::nullopt);
    QCOMPARE(none.count, 0);
    QVERIFY(!none.firstBelowWarning && !none.firstBelowLow);
}

void ChartDataTest::limits_takeThreeNumbers()
{
    const auto limits = VoltageLimits::parse("8.4,7.4,7");
    QVERIFY(limits);
    QCOMPARE(*limits->high, 8.4);
    QCOMPARE(*limits->warning, 7.4);
    QCOMPARE(*limits->low, 7.0);
    QVERIFY(!VoltageLimits::parse("8.4,7.4"));
    QVERIFY(!VoltageLimits::parse("8,4,7,4,7"));
    // A field that holds no number draws no line; the others still do.
    const VoltageLimits fields = VoltageLimits::fromTexts("4.6", "", "x");
    QVERIFY(fields.high && !fields.warning && !fields.low);
}

void ChartDataTest::curve_isNamedByCommentAndDate_andRefusesOtherFiles()
{
    QTemporaryDir dir;
    const QString record = dir.filePath("pack3.csv");
    writeFile(record, "Date,24.05.2024\r\nComments,pack 3\r\nSeconds between samples,30\r\nTotal time in minutes,2\r\n"
                      "Time,Voltage\r\n0,7.52\r\n0.5,\r\n1,7.49\r\n");
    const RecordCurveLoad load = loadRecordCurve(record);
    QVERIFY(load.loaded);
    QCOMPARE(load.curve.name, QString("pack 3, 24.05.2024"));
    QCOMPARE(load.curve.seconds, 30.0f);
    QCOMPARE(load.curve.values.size(), size_t(3));
    QVERIFY(std::isnan(load.curve.values[1]));
    QVERIFY(load.warning.contains("3 of the 4 points"));

    QCOMPARE(recordCurveName("", "24.05.2024", "/x/old pack.csv"), QString("old pack.csv"));

    const QString notes = dir.filePath("notes.csv");
    writeFile(notes, "Name,Value\r\nA,1\r\n");
    const RecordCurveLoad refused = loadRecordCurve(notes);
    QVERIFY(!refused.loaded);
    QCOMPARE(refused.error, QString("This is not a record file: it holds no \"Time,Voltage\" line. Nothing was loaded."));
}

void ChartDataTest::history_keepsOneRowPerReport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Quarvel/battery-history.csv"); // the folder is made on the first row
    QVERIFY(BatteryHistory::read(path).rows.isEmpty());
    QCOMPARE(BatteryHistory::append(path, report("Rx \"blue\", 4 cells", "0.120")), QString());
    QCOMPARE(BatteryHistory::append(path, report("Rx 2", "0,5")), QString()); // not a C-locale number: left empty
    QCOMPARE(readFile(path),
             QByteArray("Date,Instrument,Pack,Profile,No load voltage,Loaded voltage,Impedance\r\n"
                        "2026-12-07 14:30:05,\"Quarvel V1.2\",\"Rx \"\"blue\"\", 4 cells\",\"Receiver\",8.41,7.9,0.12\r\n"
                        "2026-12-07 14:30:05,\"Quarvel V1.2\",\"Rx 2\",\"Receiver\",8.41,7.9,\r\n"));
    const BatteryHistory::Contents read = BatteryHistory::read(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.rows.size(), 2);
    QCOMPARE(read.rows[0].pack, QString("Rx \"blue\", 4 cells"));
    QCOMPARE(read.rows[0].impedance, QString("0.12"));
    QCOMPARE(read.rows[1].time, QDateTime(QDate(2026, 12, 7), QTime(14, 30, 5)));

    BatteryReport empty = report("Rx 3", "");
    empty.noLoad = empty.loaded = QString();
    QVERIFY(BatteryHistory::append(path, empty).contains("holds no value"));
    QCOMPARE(BatteryHistory::read(path).rows.size(), 2);
}

void ChartDataTest::history_survivesAFailedWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("battery-history.csv");
    QCOMPARE(BatteryHistory::append(path, report("Rx 1", "0.1")), QString());
    const QByteArray before = readFile(path);
    BatteryReport big = report(QString(8000, 'p'), "0.2");
    QString error;
    {
        const FullDisk full(4096);
        QVERIFY(full.active());
        error = BatteryHistory::append(path, big);
    }
    QVERIFY2(error.startsWith("Cannot write the battery history"), qPrintable(error));
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left behind
}

void ChartDataTest::history_leavesAForeignFileAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("battery-history.csv");
    writeFile(path, "my own notes\n");
    QVERIFY(BatteryHistory::append(path, report("Rx 1", "0.1")).contains("is not a battery history file"));
    QVERIFY(!BatteryHistory::read(path).error.isEmpty());
    QCOMPARE(readFile(path), QByteArray("my own notes\n"));
}

void ChartDataTest::history_keepsEveryRowOfTwoWritersAtOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("battery-history.csv");
    constexpr int kRows = 40;
    QStringList errors[2];
    const auto writer = [&](int w) {
        for (int i = 0; i < kRows; ++i) {
            if (const QString e = BatteryHistory::append(path, report(QString("Rx %1.%2").arg(w).arg(i), "0.1")); !e.isEmpty())
                errors[w].append(e);
        }
    };
    std::thread first(writer, 0);
    std::thread second(writer, 1);
    first.join();
    second.join();
    QCOMPARE(errors[0] + errors[1], QStringList());
    QCOMPARE(BatteryHistory::read(path).rows.size(), 2 * kRows);
}

void ChartDataTest::history_lastRowWithoutLineEnd_staysARow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("battery-history.csv");
    QCOMPARE(BatteryHistory::append(path, report("Rx 1", "0.1")), QString());
    QByteArray bytes = readFile(path);
    bytes.chop(2); // edited by hand: no line end after the last row
    writeFile(path, bytes);
    QCOMPARE(BatteryHistory::append(path, report("Rx 2", "0.2")), QString());
    const BatteryHistory::Contents read = BatteryHistory::read(path);
    QCOMPARE(read.rows.size(), 2);
    QCOMPARE(read.rows[0].pack + read.rows[0].impedance, QString("Rx 10.1"));
    QCOMPARE(read.rows[1].pack + read.rows[1].impedance, QString("Rx 20.2"));
}

QTEST_GUILESS_MAIN(ChartDataTest)
#include "ChartDataTest.moc"
