#include "FlashPage.h"
#include "HexFile.h"
#include "HexImage.h"

#include <QtTest>

using namespace quarvel;
using quarvel::test::hexRecordLine;

namespace {

HexRecords recordsOf(const QStringList& lines)
{
    const HexLoad load = hexRecordsFromBytes(lines.join(QLatin1Char('\n')).toLatin1(), HexLoadMode::StopAtInvalid);
    return load.records;
}

// Every page the program would write, keyed by its start.
QMap<int, QByteArray> pagesOf(const HexRecords& records)
{
    QMap<int, QByteArray> pages;
    for (int a = 0; a <= kLastApplicationByte; a += kFlashPageBytes) {
        FlashPage page;
        page.address = a;
        if (fillPage(page, records))
            pages.insert(a, page.data);
    }
    return pages;
}

} // namespace

class FlashPageTest : public QObject {
    Q_OBJECT
private slots:
    void dataInTwoPagesWritesTwoPages();
    void uncoveredBytesAreZero();
    void laterRecordWins();
    void recordCrossingPagesContinuesInTheNext();
    void nothingAtOrAboveTheApplicationLimit();
    void nonDataRecordsPlaceNothing();
    void extendedAddressRecords_data();
    void extendedAddressRecords();
};

void FlashPageTest::dataInTwoPagesWritesTwoPages()
{
    QByteArray image(64, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i + 1);
    const auto pages = pagesOf(recordsOf(test::hexImageLines(image)));
    QCOMPARE(pages.keys(), (QList<int>{0, 32}));
    QCOMPARE(pages[0] + pages[32], image);
}

void FlashPageTest::uncoveredBytesAreZero()
{
    const auto pages = pagesOf(recordsOf({hexRecordLine(100, 0, QByteArray(1, char(0xAA)))}));
    QCOMPARE(pages.keys(), QList<int>{96});
    QByteArray expected(32, '\0');
    expected[4] = char(0xAA);
    QCOMPARE(pages[96], expected);
}

void FlashPageTest::laterRecordWins()
{
    const auto pages = pagesOf(recordsOf({hexRecordLine(0, 0, QByteArray(4, char(0x11))),
                                          hexRecordLine(2, 0, QByteArray(4, char(0x22))),
                                          hexRecordLine(0, 0, QByteArray(1, char(0x33)))}));
    QCOMPARE(pages[0].left(7), QByteArray::fromHex("33112222222200"));
}

void FlashPageTest::recordCrossingPagesContinuesInTheNext()
{
    QByteArray data(40, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(0x80 + i);
    // 16 bytes at 24 run into page 32; 40 bytes at 60 span three pages.
    const auto pages = pagesOf(recordsOf({hexRecordLine(24, 0, data.left(16)), hexRecordLine(60, 0, data)}));
    QCOMPARE(pages.keys(), (QList<int>{0, 32, 64, 96}));
    QCOMPARE(pages[0].mid(24), data.left(8));
    QCOMPARE(pages[32].left(8), data.mid(8, 8));
    QCOMPARE(pages[32].mid(28), data.left(4));
    QCOMPARE(pages[64], data.mid(4, 32));
    QCOMPARE(pages[96].left(4), data.mid(36, 4));
    QCOMPARE(pages[96].mid(4), QByteArray(28, '\0'));
}

void FlashPageTest::nothingAtOrAboveTheApplicationLimit()
{
    QByteArray data(16, char(0x5A));
    const auto pages = pagesOf(recordsOf({hexRecordLine(7672, 0, data), hexRecordLine(7680, 0, data),
                                          hexRecordLine(0xF000, 0, data)}));
    QCOMPARE(pages.keys(), QList<int>{7648});
    QCOMPARE(pages[7648].mid(24), data.left(8));
}

void FlashPageTest::nonDataRecordsPlaceNothing()
{
    const auto pages = pagesOf(recordsOf({hexRecordLine(0, 3, QByteArray(4, char(0x12))),
                                          hexRecordLine(0, 2, QByteArray(2, '\0')), QStringLiteral(":00000001FF")}));
    QVERIFY(pages.isEmpty());
}

void FlashPageTest::extendedAddressRecords_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("refused");
    const QString data = hexRecordLine(0, 0, QByteArray(16, char(1)));
    QTest::newRow("plain image") << QStringList{data, ":00000001FF"} << -1;
    QTest::newRow("linear base 0 is harmless") << QStringList{":020000040000FA", data} << -1;
    QTest::newRow("segment base 0 is harmless") << QStringList{hexRecordLine(0, 2, QByteArray(2, '\0')), data} << -1;
    QTest::newRow("linear base 1") << QStringList{data, ":020000040001F9", data} << 1;
    QTest::newRow("segment base 1000") << QStringList{data, data, ":020000021000EC"} << 2;
}

void FlashPageTest::extendedAddressRecords()
{
    QFETCH(QStringList, lines);
    QFETCH(int, refused);
    const HexRecords records = recordsOf(lines);
    QCOMPARE(findExtendedAddressRecord(records), refused);
    if (refused >= 0) {
        const QString message = extendedAddressMessage(records, refused);
        QVERIFY2(message.contains(QStringLiteral("line %1").arg(refused + 1)), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("above 64 KiB")));
    }
}

QTEST_GUILESS_MAIN(FlashPageTest)
#include "FlashPageTest.moc"
