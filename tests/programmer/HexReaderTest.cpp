#include "programmer/FlashPage.h"
#include "programmer/HexFile.h"
#include "programmer/HexLine.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

class HexReaderTest : public QObject {
    Q_OBJECT
private slots:
    void parseLine_fillsFieldsAndTestsChecksum_data();
    void parseLine_fillsFieldsAndTestsChecksum();
    void load_splitsLinesAndStopsOnlyWhenProgramming_data();
    void load_splitsLinesAndStopsOnlyWhenProgramming();
    void load_unreadableFile_isReported_data();
    void load_unreadableFile_isReported();
    void fillPage_placesEveryByteOnce_data();
    void fillPage_placesEveryByteOnce();
};

void HexReaderTest::parseLine_fillsFieldsAndTestsChecksum_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("byteCount");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    const QByteArray d1234 = QByteArray::fromHex("0102030400");
    QTest::newRow("end of file") << ":00000001FF" << true << 0 << 0 << 1 << QByteArray(1, '\0');
    QTest::newRow("four data bytes") << ":0400000001020304F2" << true << 4 << 0 << 0 << d1234;
    QTest::newRow("wrong checksum fills every field") << ":0400000001020304F3" << false << 4 << 0 << 0 << d1234;
    QTest::newRow("load offset C000") << ":02C000001234F8" << true << 2 << 49152 << 0 << QByteArray::fromHex("123400");
    QTest::newRow("lower case") << ":04001000abcdef0184" << true << 4 << 16 << 0 << QByteArray::fromHex("abcdef0100");
    QTest::newRow("one trailing space adds 0") << ":0400000001020304F2 " << true << 4 << 0 << 0 << d1234;
    QTest::newRow("trailing digits are summed") << ":0400000001020304F201" << false << 4 << 0 << 0 << d1234;
    // Without the colon the record keeps what it held.
    QTest::newRow("empty") << "" << false << 7 << 9 << 5 << QByteArray();
    QTest::newRow("leading space") << " :00000001FF" << false << 7 << 9 << 5 << QByteArray();
}

void HexReaderTest::parseLine_fillsFieldsAndTestsChecksum()
{
    QFETCH(QString, line);
    HexRecord record{7, 9, 5, {}};
    QTEST(parseHexLine(line, record), "valid");
    QTEST(int(record.byteCount), "byteCount");
    QTEST(int(record.address), "address");
    QTEST(int(record.recordType), "type");
    QTEST(record.data, "data");
}

void HexReaderTest::load_splitsLinesAndStopsOnlyWhenProgramming_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("programming");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("invalidLine"); // 0: loaded
    const QByteArray a = ":0400000001020304F2", eof = ":00000001FF";
    QTest::newRow("CR LF") << a + "\r\n" + a + "\r\n" + eof + "\r\n" << true << 3 << 0;
    QTest::newRow("LF") << a + "\n" + a + "\n" + eof + "\n" << true << 3 << 0;
    QTest::newRow("CR") << a + "\r" + a + "\r" + eof + "\r" << true << 3 << 0;
    QTest::newRow("lines after EOF, none at the end") << eof + "\r\n" + a + "\r\n" + a << true << 3 << 0;
    const QByteArray bad = a + "\r\n" + a.left(18) + "3\r\nnot hex\r\n" + eof + "\r\n";
    QTest::newRow("programming stops at the first invalid line") << bad << true << 2 << 2;
    QTest::newRow("verifying reads every line") << bad << false << 4 << 0;
}

void HexReaderTest::load_splitsLinesAndStopsOnlyWhenProgramming()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, programming);
    const HexLoad load = hexRecordsFromBytes(file, programming ? HexLoadMode::StopAtInvalid : HexLoadMode::ReadAll);
    QTEST(int(load.records.size()), "records");
    QTEST(load.invalidLine, "invalidLine");
    QCOMPARE(load.status == HexLoad::Status::InvalidRecord, load.invalidLine > 0);
    QCOMPARE(load.records[1].data, QByteArray::fromHex("0102030400")); // a wrong checksum is compared as parsed
}

void HexReaderTest::load_unreadableFile_isReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("the initial pattern") << "*.hex" << QByteArray() << "Cannot open";
    QTest::newRow("empty") << "empty.hex" << QByteArray("") << "is empty";
    QTest::newRow("too large") << "large.hex" << QByteArray(1024 * 1024 + 1, ':') << "larger than";
    QTest::newRow("folder") << "." << QByteArray() << "folder";
}

void HexReaderTest::load_unreadableFile_isReported()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    if (!content.isNull())
        test::writeFile(dir.filePath(name), content);
    const HexLoad load = loadHexRecords(dir.filePath(name), HexLoadMode::ReadAll);
    QCOMPARE(load.status, HexLoad::Status::Unreadable);
    QFETCH(QString, messagePart);
    QVERIFY2(load.error.contains(messagePart), qPrintable(load.error));
}

void HexReaderTest::fillPage_placesEveryByteOnce_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("pages"); // each page that gets data: start, then its 32 bytes
    const auto z = [](int bytes) { return QString(2 * bytes, QLatin1Char('0')); };
    QTest::newRow("the later record wins")
        << QStringList{":0400000011111111B8", ":020002002222B8", ":0100000033CC"} << QStringList{"0:33112222" + z(28)};
    QTest::newRow("nothing at or above 7680, nothing from other types")
        << QStringList{":031DFE005A5A5AD4", ":01F000005AB5", ":0400000312121212B1", ":00000001FF"}
        << QStringList{"7648:" + z(30) + "5a5a"};
}

void HexReaderTest::fillPage_placesEveryByteOnce()
{
    QFETCH(QStringList, lines);
    const HexRecords records = hexRecordsFromBytes(lines.join('\n').toLatin1(), HexLoadMode::StopAtInvalid).records;
    QStringList pages;
    for (FlashPage page; page.address <= kLastApplicationByte; page.address += kFlashPageBytes) {
        if (fillPage(page, records))
            pages << QString::number(page.address) + ':' + page.data.toHex();
    }
    QTEST(pages, "pages");
}

QTEST_GUILESS_MAIN(HexReaderTest)
#include "HexReaderTest.moc"
