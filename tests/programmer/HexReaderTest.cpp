#include "HexFile.h"
#include "HexImage.h"
#include "HexLine.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

class HexReaderTest : public QObject {
    Q_OBJECT
private slots:
    void parseLine_data();
    void parseLine();
    void lineWithoutColonLeavesRecordUntouched_data();
    void lineWithoutColonLeavesRecordUntouched();
    void lineEnds_data();
    void lineEnds();
    void programmingStopsAtFirstInvalidLine();
    void verifyingReadsEveryLine();
    void unreadableFiles_data();
    void unreadableFiles();
};

void HexReaderTest::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("byteCount");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("end of file") << ":00000001FF" << true << 0 << 0 << 1 << QByteArray(1, '\0');
    QTest::newRow("four data bytes") << ":0400000001020304F2" << true << 4 << 0 << 0
                                     << QByteArray::fromHex("0102030400");
    QTest::newRow("wrong checksum still fills every field") << ":0400000001020304F3" << false << 4 << 0 << 0
                                                            << QByteArray::fromHex("0102030400");
    QTest::newRow("load offset C000") << ":02C000001234F8" << true << 2 << 49152 << 0 << QByteArray::fromHex("123400");
    QTest::newRow("lower-case digits") << ":04001000abcdef0184" << true << 4 << 16 << 0
                                       << QByteArray::fromHex("abcdef0100");
    QTest::newRow("one space after the checksum adds nothing") << ":0400000001020304F2 " << true << 4 << 0 << 0
                                                               << QByteArray::fromHex("0102030400");
    QTest::newRow("extra characters after the checksum are summed") << ":0400000001020304F201" << false << 4 << 0
                                                                     << 0 << QByteArray::fromHex("0102030400");
    QTest::newRow("truncated line reads the digits that exist") << ":0300000001" << false << 3 << 0 << 0
                                                                << QByteArray::fromHex("01000000");
    QTest::newRow("a non-digit ends its piece") << ":04000000G1020304F2" << false << 4 << 0 << 0
                                                << QByteArray::fromHex("0002030400");
}

void HexReaderTest::parseLine()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    HexRecord record;
    QCOMPARE(parseHexLine(line, record), valid);
    QTEST(int(record.byteCount), "byteCount");
    QTEST(int(record.address), "address");
    QTEST(int(record.recordType), "type");
    QTEST(record.data, "data");
}

void HexReaderTest::lineWithoutColonLeavesRecordUntouched_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << "";
    QTest::newRow("leading space") << " :00000001FF";
    QTest::newRow("text") << "hello";
}

void HexReaderTest::lineWithoutColonLeavesRecordUntouched()
{
    QFETCH(QString, line);
    HexRecord record;
    record.byteCount = 7;
    record.address = 9;
    QVERIFY(!parseHexLine(line, record));
    QCOMPARE(int(record.byteCount), 7);
    QCOMPARE(int(record.address), 9);
    QVERIFY(record.data.isEmpty());
}

void HexReaderTest::lineEnds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("records");
    const QByteArray a = ":0400000001020304F2";
    const QByteArray b = ":02C000001234F8";
    const QByteArray eof = ":00000001FF";
    QTest::newRow("CR LF") << a + "\r\n" + b + "\r\n" + eof + "\r\n" << 3;
    QTest::newRow("LF") << a + "\n" + b + "\n" + eof + "\n" << 3;
    QTest::newRow("CR") << a + "\r" + b + "\r" + eof + "\r" << 3;
    QTest::newRow("no end on the last line") << a + "\r\n" + b + "\r\n" + eof << 3;
    QTest::newRow("lines after end of file are read too") << a + "\n" + eof + "\n" + b + "\n" << 3;
}

void HexReaderTest::lineEnds()
{
    QFETCH(QByteArray, file);
    QFETCH(int, records);
    const HexLoad load = hexRecordsFromBytes(file, HexLoadMode::StopAtInvalid);
    QCOMPARE(load.status, HexLoad::Status::Loaded);
    QCOMPARE(load.records.size(), records);
    const auto c000 = std::find_if(load.records.cbegin(), load.records.cend(),
                                   [](const HexRecord& r) { return r.address == 0xC000; });
    QVERIFY(c000 != load.records.cend());
    QCOMPARE(c000->data, QByteArray::fromHex("123400"));
    QCOMPARE(load.records.constFirst().data, QByteArray::fromHex("0102030400"));
}

void HexReaderTest::programmingStopsAtFirstInvalidLine()
{
    const QByteArray file = ":0400000001020304F2\r\n:0400000001020304F3\r\nnot hex\r\n:00000001FF\r\n";
    const HexLoad load = hexRecordsFromBytes(file, HexLoadMode::StopAtInvalid);
    QCOMPARE(load.status, HexLoad::Status::InvalidRecord);
    QCOMPARE(load.invalidLine, 2);
    QCOMPARE(load.records.size(), 2);
}

void HexReaderTest::verifyingReadsEveryLine()
{
    const QByteArray file = ":0400000001020304F2\r\n:0400000001020304F3\r\nnot hex\r\n:00000001FF\r\n";
    const HexLoad load = hexRecordsFromBytes(file, HexLoadMode::ReadAll);
    QCOMPARE(load.status, HexLoad::Status::Loaded);
    QCOMPARE(load.records.size(), 4);
    QCOMPARE(load.records[1].data, QByteArray::fromHex("0102030400")); // compared as parsed
    QCOMPARE(int(load.records[2].byteCount), 0);                      // an empty data record
    QCOMPARE(int(load.records[2].recordType), 0);
}

void HexReaderTest::unreadableFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("the initial pattern") << "*.hex" << QByteArray() << "Cannot open";
    QTest::newRow("missing") << "absent.hex" << QByteArray() << "Cannot open";
    QTest::newRow("empty") << "empty.hex" << QByteArray("") << "is empty";
    QTest::newRow("too large") << "large.hex" << QByteArray(kMaxHexFileBytes + 1, ':') << "larger than";
    QTest::newRow("folder") << "." << QByteArray() << "folder";
}

void HexReaderTest::unreadableFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, messagePart);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const HexLoad load = loadHexRecords(path, HexLoadMode::ReadAll);
    QCOMPARE(load.status, HexLoad::Status::Unreadable);
    QVERIFY2(load.error.contains(messagePart), qPrintable(load.error));
    QVERIFY(load.records.isEmpty());
}

QTEST_GUILESS_MAIN(HexReaderTest)
#include "HexReaderTest.moc"
