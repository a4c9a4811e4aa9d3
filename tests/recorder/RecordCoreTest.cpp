// The record without widgets: its settings and labels, the drawn line, the stored-record reply
// and the record file.
#include "recorder/PlotSegments.h"
#include "recorder/RecordArithmetic.h"
#include "recorder/RecordFileContent.h"
#include "recorder/RecordFileReader.h"
#include "recorder/RecordFileWriter.h"
#include "recorder/RecordModel.h"
#include "recorder/StoredRecordReply.h"
#include "support/FullDisk.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace quarvel;

namespace {
RecordFileContent twoPoints(const QString& comment)
{
    return {"24.05.2024", comment, "30", "1", {"0", "0.5"}, {7.52, 7.49}};
}

QByteArray lines(const QStringList& list)
{
    return list.join("\r\n").toLatin1() + "\r\n";
}

const QStringList kTail = {"Seconds between samples,30", "Total time in minutes,1", "Time,Voltage", "0,1", "0.5,2"};
} // namespace

class RecordCoreTest : public QObject {
    Q_OBJECT
private slots:
    void setup_sizesAndLabelsTheRecord_data();
    void setup_sizesAndLabelsTheRecord();
    void interval_isTheNumberRoundedHalfToEven_data();
    void interval_isTheNumberRoundedHalfToEven();
    void plotSegments_breakAtGapsAndKeepExtremes();
    void storedReply_trimsEachValueAndTakesItAsASingle();
    void format_writesTheLineLayout();
    void comment_readsBackAsSaved_data();
    void comment_readsBackAsSaved();
    void read_followsTheReadingModel_data();
    void read_followsTheReadingModel();
    void failedSave_leavesTheOldFile();
    void decimalCommaLocale_keepsDecimalPoints();
};

void RecordCoreTest::setup_sizesAndLabelsTheRecord_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("t");
    QTest::addColumn<int>("points"); // 0: refused
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QStringList>("firstLabels");
    QTest::addColumn<QString>("lastLabel");
    QTest::newRow("defaults") << "1" << "10" << 600 << 60 << QStringList{"0", "0.01666667", "0.03333334"} << "9.983334";
    QTest::newRow("two points") << "30" << "1" << 2 << 1 << QStringList{"0", "0.5"} << "0.5";
    QTest::newRow("single 0.3 above 0.3") << "0.3" << "10" << 1999 << 200 << QStringList{"0", "0.005"} << "9.990001";
    QTest::newRow("25 points: spacing 2") << "60" << "25" << 25 << 2 << QStringList{"0"} << "24";
    QTest::newRow("largest") << "1" << "546.1166" << 32766 << 3277 << QStringList{"0"} << "546.0833";
    QTest::newRow("S beyond a single") << "1e39" << "10" << 0 << 0 << QStringList() << "";
    QTest::newRow("S underflows a single") << "1e-50" << "1" << 0 << 0 << QStringList() << "";
    QTest::newRow("32768 points") << "1" << "546.1334" << 0 << 0 << QStringList() << "";
}

void RecordCoreTest::setup_sizesAndLabelsTheRecord()
{
    QFETCH(QString, s);
    QFETCH(QString, t);
    QFETCH(int, points);
    QFETCH(int, spacing);
    QFETCH(QStringList, firstLabels);
    QFETCH(QString, lastLabel);
    RecordSettings settings;
    QCOMPARE(checkRecordSettings(s, t, settings).isEmpty(), points > 0);
    QCOMPARE(settings.points, points);
    if (points == 0)
        return;
    RecordModel model;
    model.setupVoltageChart(settings.seconds, settings.minutes);
    QCOMPARE(model.pointCount(), points);
    QCOMPARE(model.labelSpacing(), spacing);
    QCOMPARE(model.cursor(), 1);
    for (int k = 0; k < firstLabels.size(); ++k)
        QCOMPARE(model.label(k + 1), firstLabels[k]);
    QCOMPARE(model.label(points), lastLabel);
}

void RecordCoreTest::interval_isTheNumberRoundedHalfToEven_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<int>("ms"); // 0: refused
    QTest::newRow("2.5") << "2.5" << 2500;
    QTest::newRow("1.0005 half to even") << "1.0005" << 1000;
    QTest::newRow("0.0025 half to even") << "0.0025" << 2;
    QTest::newRow("sign and blanks") << " +1 " << 1000;
    QTest::newRow("decimal comma") << "1,5" << 0;
    QTest::newRow("beyond a timer") << "3000000" << 0;
}

void RecordCoreTest::interval_isTheNumberRoundedHalfToEven()
{
    QFETCH(QString, s);
    QFETCH(int, ms);
    QCOMPARE(sampleIntervalMs(s).value_or(0), ms);
}

void RecordCoreTest::plotSegments_breakAtGapsAndKeepExtremes()
{
    std::vector<double> values = {7, 7.1, NAN, NAN, 7.3, 7.4, NAN};
    QCOMPARE(PlotSegments::build(values, 0, 6, 100), (QList<QList<QPointF>>{{{0, 7}, {1, 7.1}}, {{4, 7.3}, {5, 7.4}}}));
    values.assign(1000, 8.0);
    values[123] = 2.0;
    values[777] = 9.0;
    const auto segments = PlotSegments::build(values, 0, 999, 10);
    QCOMPARE(segments.size(), 1);
    QVERIFY(segments[0].size() <= 20);
    QVERIFY(segments[0].contains(QPointF(123, 2)) && segments[0].contains(QPointF(777, 9)));
    const auto [bottom, top] = PlotSegments::voltageRange(7.21, 8.43);
    QVERIFY(bottom <= 7.21 && top >= 8.43 && top - bottom < 2.5);
}

void RecordCoreTest::storedReply_trimsEachValueAndTakesItAsASingle()
{
    QCOMPARE(StoredRecordReply::values("1RDB\r\n   7.5  \r\n7.123456789\r\n", 300),
             (std::vector<std::optional<double>>{7.5, 7.123457}));
}

void RecordCoreTest::format_writesTheLineLayout()
{
    RecordFileContent content = twoPoints("pack 3");
    content.values[1] = NAN;
    QCOMPARE(RecordFileWriter::format(content),
             QByteArray("Date,24.05.2024\r\nComments,pack 3\r\nSeconds between samples,30\r\n"
                        "Total time in minutes,1\r\nTime,Voltage\r\n0,7.52\r\n0.5,\r\n"));
    content.values = {1e-7, 12345.678901234};
    const RecordFileLoad load = RecordFileReader::read(RecordFileWriter::format(content), "1", "10");
    QCOMPARE(load.values, (std::vector<std::optional<double>>{1e-7, 12345.678901234}));
}

void RecordCoreTest::comment_readsBackAsSaved_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("empty") << "" << QByteArray("Comments,") << "";
    QTest::newRow("a quote inside") << "5\" prop" << QByteArray("Comments,5\" prop") << "5\" prop";
    QTest::newRow("one comma") << "one,two" << QByteArray("Comments,\"one,two\"") << "one,two";
    QTest::newRow("leading blanks") << "  indented" << QByteArray("Comments,\"  indented\"") << "  indented";
    QTest::newRow("a leading quote") << "\"best\" pack" << QByteArray("Comments,\"''best'' pack\"") << "''best'' pack";
}

void RecordCoreTest::comment_readsBackAsSaved()
{
    QFETCH(QString, comment);
    QFETCH(QByteArray, line);
    QFETCH(QString, readBack);
    const QByteArray file = RecordFileWriter::format(twoPoints(comment));
    QCOMPARE(file.split('\n').at(1), line + "\r");
    QCOMPARE(RecordFileWriter::savedComment(comment), readBack);
    const RecordFileLoad load = RecordFileReader::read(file, "1", "10");
    QCOMPARE(load.error, QString());
    QCOMPARE(load.comment, std::optional<QString>(readBack));
    QCOMPARE(load.labels, QStringList({"0", "0.5"}));
    QCOMPARE(load.values, (std::vector<std::optional<double>>{7.52, 7.49}));
}

void RecordCoreTest::read_followsTheReadingModel_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("caption"); // "(none)" when no comment pair was read
    QTest::addColumn<int>("points");      // -1: the data section never began
    QTest::addColumn<QString>("error");
    QTest::newRow("one comma in an old file shifts every pair")
        << lines(QStringList{"Date,1.1.24", "Comments,one,two"} + kTail) << "one" << -1
        << "The file ends in the middle of a key and its value: it is not a complete record file.";
    QTest::newRow("two commas: the extra pair is ignored")
        << lines(QStringList{"Comments,one,two,three"} + kTail) << "one" << 2 << "";
    QTest::newRow("key in other case is no key") << lines(QStringList{"comments,x"} + kTail) << "(none)" << 2 << "";
    QTest::newRow("key after blanks is a key") << lines(QStringList{"   Comments,  x"} + kTail) << "x" << 2 << "";
    QTest::newRow("two items a line, extra data lines")
        << QByteArray("Comments\r\nq,Seconds between samples\r\n30,Total time in minutes\n1\rTime,Voltage,0,1,0.5,2\n9,9")
        << "q" << 2 << "";
    QTest::newRow("Time without Voltage") << lines({"Time,Volts", "Comments,c"}) << "c" << -1
                                          << "This is not a record file: it holds no \"Time,Voltage\" line. Nothing was "
                                             "loaded.";
    QTest::newRow("settings of no point") << lines({"Seconds between samples,90", "Total time in minutes,1", "Time,Voltage"}) << "(none)" << -1
                                          << "The file's settings do not describe a record. A total record time of 1 "
                                             "minutes with 90 seconds between samples gives no point: the record needs "
                                             "at least 1.";
}

void RecordCoreTest::read_followsTheReadingModel()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, caption);
    QFETCH(int, points);
    QFETCH(QString, error);
    const RecordFileLoad load = RecordFileReader::read(file, "1", "10");
    QCOMPARE(load.comment.value_or("(none)"), caption);
    QCOMPARE(load.settings ? load.settings->points : -1, points);
    QCOMPARE(load.error, error);
    if (error.isEmpty()) {
        QCOMPARE(load.labels, QStringList({"0", "0.5"}));
        QCOMPARE(load.values, (std::vector<std::optional<double>>{1.0, 2.0}));
    }
}

void RecordCoreTest::failedSave_leavesTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("record.csv");
    QCOMPARE(RecordFileWriter::save(path, twoPoints("old")), QString());
    RecordFileContent big = twoPoints("new");
    for (int k = 0; k < 600; ++k) { // the default record, smaller than a file's write buffer
        big.labels.append(QString::number(k));
        big.values.push_back(7.5);
    }
    QString error;
    {
        const test::FullDisk full(4096);
        QVERIFY(full.active());
        error = RecordFileWriter::save(path, big);
    }

    QVERIFY2(error.startsWith("Cannot save the record to"), qPrintable(error));
    QCOMPARE(RecordFileReader::load(path, "1", "10").comment, std::optional<QString>("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left behind

    // A character the file's one byte per character cannot hold is named, never turned into "?".
    const QString refused = RecordFileWriter::save(path, twoPoints(QString::fromUtf8("Akku №3")));
    QVERIFY2(refused.contains(QString::fromUtf8("\"№\" (U+2116)")), qPrintable(refused));
    QCOMPARE(RecordFileReader::load(path, "1", "10").comment, std::optional<QString>("old"));
    const QString latin1 = QString::fromUtf8("Akku Nr. 3 für 20 °C");
    QCOMPARE(RecordFileWriter::save(path, twoPoints(latin1)), QString());
    QCOMPARE(RecordFileReader::load(path, "1", "10").comment, std::optional<QString>(latin1));
}

// The window and quarvel-cli build their files through recordFileContent() and the writer.
void RecordCoreTest::decimalCommaLocale_keepsDecimalPoints()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    RecordModel model;
    model.setupVoltageChart(30, 1);
    model.setValues(1, {7.52, 7.49});
    const QByteArray file = RecordFileWriter::format(recordFileContent(model, "30", "1", "pack 3"));
    const RecordFileLoad load = RecordFileReader::read(file, {}, {});
    QLocale::setDefault(QLocale::c());
    QVERIFY2(file.endsWith("Time,Voltage\r\n0,7.52\r\n0.5,7.49\r\n"), file.constData());
    QCOMPARE(load.values, (std::vector<std::optional<double>>{7.52, 7.49}));
}

QTEST_GUILESS_MAIN(RecordCoreTest)
#include "RecordCoreTest.moc"
