#include "RecordFileReader.h"
#include "RecordFileWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>

#include <sys/resource.h>

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
} // namespace

class RecordFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesTheLineLayout();
    void roundTrip_data();
    void roundTrip();
    void commentWrittenAsTyped_data();
    void commentWrittenAsTyped();
    void valuesReadBackExactly();
    void readingModel_data();
    void readingModel();
    void shortFileKeepsPointsRead();
    void extraDataLinesAreNotRead();
    void badSettingsInFile_data();
    void badSettingsInFile();
    void failedSaveLeavesOldFile_data();
    void failedSaveLeavesOldFile();
    void missingFileIsReported();
};

void RecordFileTest::writesTheLineLayout()
{
    RecordFileContent content = twoPoints("pack 3");
    content.values[1] = NAN;
    QCOMPARE(RecordFileWriter::format(content),
             QByteArray("Date,24.05.2024\r\nComments,pack 3\r\nSeconds between samples,30\r\n"
                        "Total time in minutes,1\r\nTime,Voltage\r\n0,7.52\r\n0.5,\r\n"));
}

void RecordFileTest::roundTrip_data()
{
    QTest::addColumn<QString>("comment");
    QTest::newRow("example") << "pack 3";
    QTest::newRow("empty comment") << "";
}

void RecordFileTest::roundTrip()
{
    QFETCH(QString, comment);
    QTemporaryDir dir;
    const QString path = dir.filePath("record.csv");
    RecordFileContent content = twoPoints(comment);
    QCOMPARE(RecordFileWriter::save(path, content), QString());
    const RecordFileLoad load = RecordFileReader::load(path, "1", "10");
    QCOMPARE(load.error, QString());
    QCOMPARE(load.comment, std::optional<QString>(comment));
    QCOMPARE(load.secondsText, std::optional<QString>("30"));
    QCOMPARE(load.minutesText, std::optional<QString>("1"));
    QVERIFY(load.settings);
    QCOMPARE(load.settings->points, 2);
    QCOMPARE(load.labels, QStringList({"0", "0.5"}));
    QCOMPARE(load.values, (std::vector<std::optional<double>>{7.52, 7.49}));
}

void RecordFileTest::commentWrittenAsTyped_data()
{
    QTest::addColumn<QString>("comment");
    QTest::newRow("commas") << "one,two,three";
    QTest::newRow("leading blanks") << "  indented";
    QTest::newRow("quotes and comma") << "\"best\" 5\" prop, hot";
}

void RecordFileTest::commentWrittenAsTyped()
{
    QFETCH(QString, comment);
    const QByteArray file = RecordFileWriter::format(twoPoints(comment));
    QVERIFY(file.contains("\r\nComments," + comment.toLatin1() + "\r\nSeconds between samples,30\r\n"));
    QCOMPARE(file.count('"'), comment.count('"'));
}

void RecordFileTest::valuesReadBackExactly()
{
    RecordFileContent content = twoPoints("pack 3");
    content.values = {1e-7, 12345.678901234};
    const RecordFileLoad load = RecordFileReader::read(RecordFileWriter::format(content), "1", "10");
    QCOMPARE(load.error, QString());
    QCOMPARE(load.values, (std::vector<std::optional<double>>{1e-7, 12345.678901234}));
}

void RecordFileTest::readingModel_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("caption");    // "(none)" when no comment pair was read
    QTest::addColumn<QString>("seconds");    // "(none)" when not read
    QTest::addColumn<int>("points");         // -1: the data section never began
    QTest::addColumn<QString>("errorWords"); // empty: no error

    const QStringList tail = {"Seconds between samples,30", "Total time in minutes,1", "Time,Voltage", "0,7.52", "0.5,7.49"};
    QTest::newRow("one comma shifts every pair")
        << lines(QStringList{"Date,1.1.24", "Comments,one,two"} + tail) << "one" << "(none)" << -1 << "middle of a key";
    QTest::newRow("two commas: extra pair ignored")
        << lines(QStringList{"Date,1.1.24", "Comments,one,two,three"} + tail) << "one" << "30" << 2 << "";
    QTest::newRow("empty comment") << lines(QStringList{"Date,1.1.24", "Comments,"} + tail) << "" << "30" << 2 << "";
    QTest::newRow("key in other case is not a key")
        << lines({"comments,x", "Seconds between samples,30", "Total time in minutes,1", "Time,Voltage", "0,1", "0.5,2"})
        << "(none)" << "30" << 2 << "";
    QTest::newRow("key after blanks is a key")
        << lines({"   Comments,  x", "Seconds between samples,30", "Total time in minutes,1", "  Time,Voltage", "0,1", "0.5,2"})
        << "x" << "30" << 2 << "";
    QTest::newRow("two items a line do not matter")
        << QByteArray("Comments\r\nq,Seconds between samples\r\n30,Total time in minutes\n1\rTime,Voltage,0,1,0.5,2")
        << "q" << "30" << 2 << "";
    QTest::newRow("quoted item") << lines({"Comments,\"a,b\" tail", "Time,Voltage", "0,1"}) << "a,b" << "(none)" << 600
                                 << "ends after 1 of the 600";
    QTest::newRow("no data, even items") << lines({"Date,x", "Comments,c"}) << "c" << "(none)" << -1 << "";
    QTest::newRow("no data, odd items") << lines({"Date,x", "Comments"}) << "(none)" << "(none)" << -1 << "middle of a key";
    QTest::newRow("empty file") << QByteArray() << "(none)" << "(none)" << -1 << "middle of a key";
    QTest::newRow("blank lines") << QByteArray("\r\n\r\nComments,c\r\n\r\n\r\n") << "c" << "(none)" << -1 << "";
    QTest::newRow("Time without Voltage is ignored")
        << lines({"Time,Volts", "Comments,c"}) << "c" << "(none)" << -1 << "";
}

void RecordFileTest::readingModel()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, caption);
    QFETCH(QString, seconds);
    QFETCH(int, points);
    QFETCH(QString, errorWords);
    const RecordFileLoad load = RecordFileReader::read(file, "1", "10");
    QCOMPARE(load.comment.value_or("(none)"), caption);
    QCOMPARE(load.secondsText.value_or("(none)"), seconds);
    QCOMPARE(load.settings ? load.settings->points : -1, points);
    if (errorWords.isEmpty())
        QCOMPARE(load.error, QString());
    else
        QVERIFY2(load.error.contains(errorWords), qPrintable(load.error));
}

void RecordFileTest::shortFileKeepsPointsRead()
{
    QStringList file = {"Date,x", "Comments,short", "Seconds between samples,1", "Total time in minutes,10", "Time,Voltage"};
    for (int k = 0; k < 300; ++k)
        file << QString("%1,%2").arg(k).arg(7 + k / 1000.0);
    const RecordFileLoad load = RecordFileReader::read(lines(file), "5", "5");
    QVERIFY2(load.error.contains("300 of the 600"), qPrintable(load.error));
    QCOMPARE(load.settings->points, 600);
    QCOMPARE(load.labels.size(), 300);
    QCOMPARE(load.values.size(), size_t(300));
    QCOMPARE(load.labels.last(), QString("299"));
    QCOMPARE(load.values.back(), std::optional<double>(7.299));
}

void RecordFileTest::extraDataLinesAreNotRead()
{
    const RecordFileLoad load = RecordFileReader::read(
        lines({"Seconds between samples,30", "Total time in minutes,1", "Time,Voltage", "0,1", "0.5,", "1,3", "junk"}), "1", "10");
    QCOMPARE(load.error, QString());
    QCOMPARE(load.labels, QStringList({"0", "0.5"}));
    QCOMPARE(load.values, (std::vector<std::optional<double>>{1.0, std::nullopt}));
}

void RecordFileTest::badSettingsInFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("words");
    QTest::newRow("too many points") << lines({"Seconds between samples,0.01", "Total time in minutes,10", "Time,Voltage"})
                                     << "60000 points";
    QTest::newRow("not a number") << lines({"Seconds between samples,fast", "Time,Voltage"}) << "\"fast\"";
    QTest::newRow("fields' texts are used") << lines({"Time,Voltage"}) << "\"0\"";
}

void RecordFileTest::badSettingsInFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, words);
    const RecordFileLoad load = RecordFileReader::read(file, "0", "10");
    QVERIFY2(load.error.contains(words), qPrintable(load.error));
    QVERIFY(!load.settings);
    QVERIFY(load.labels.isEmpty());
}

void RecordFileTest::failedSaveLeavesOldFile_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<int>("nameLength");
    QTest::newRow("disk full while writing") << true << 10;
    QTest::newRow("no temporary file beside the target") << false << 250;
}

void RecordFileTest::failedSaveLeavesOldFile()
{
    QFETCH(bool, diskFull);
    QFETCH(int, nameLength);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(nameLength - 4, QLatin1Char('r')) + ".csv");
    QCOMPARE(RecordFileWriter::save(path, twoPoints("old")), QString());
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    RecordFileContent big = twoPoints("new");
    for (int k = 0; k < 20000; ++k) {
        big.labels.append(QString::number(k));
        big.values.push_back(7.5);
    }
    // A file size limit makes every write past it fail, as a full disk does (also for root).
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedSignal = signal(SIGXFSZ, SIG_IGN);
    if (diskFull) {
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    const QString error = RecordFileWriter::save(path, big);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedSignal);

    QVERIFY2(error.startsWith("Cannot save the record to"), qPrintable(error));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left behind
}

void RecordFileTest::missingFileIsReported()
{
    QTemporaryDir dir;
    const RecordFileLoad load = RecordFileReader::load(dir.filePath("none.csv"), "1", "10");
    QVERIFY2(load.error.startsWith("Cannot open"), qPrintable(load.error));
    QVERIFY(!load.comment && !load.settings);
}

QTEST_GUILESS_MAIN(RecordFileTest)
#include "RecordFileTest.moc"
