#include "CommandFraming.h"
#include "StoredRecordReply.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace quarvel;

class StoredRecordReplyTest : public QObject {
    Q_OBJECT
private slots:
    void values_data();
    void values();
    void linesMatchFieldExtraction();
};

void StoredRecordReplyTest::values_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("maxValues");
    QTest::addColumn<QList<double>>("expected"); // -1: no value
    QTest::newRow("echo and two") << "1RDB\r\n7.52\r\n7.49\r\n" << 300 << QList<double>{7.52, 7.49};
    QTest::newRow("blanks around") << "1RDB\r\n   7.5  \r\n" << 300 << QList<double>{7.5};
    QTest::newRow("stops at empty line") << "1RDB\r\n7\r\n\r\n8\r\n" << 300 << QList<double>{7};
    QTest::newRow("beyond n dropped") << "1RDB\r\n1\r\n2\r\n3\r\n" << 2 << QList<double>{1, 2};
    QTest::newRow("not a number is no value") << "1RDB\r\n7\r\nERR\r\n8\r\n" << 300 << QList<double>{7, -1, 8};
    QTest::newRow("through a single") << "1RDB\r\n7.123456789\r\n" << 300 << QList<double>{7.123457};
    QTest::newRow("nothing") << "" << 300 << QList<double>{};
    QTest::newRow("echo only") << "1RDB\r\n" << 300 << QList<double>{};
    QTest::newRow("last line unterminated") << "1RDB\r\n6.9" << 300 << QList<double>{6.9};
}

void StoredRecordReplyTest::values()
{
    QFETCH(QString, reply);
    QFETCH(int, maxValues);
    QFETCH(QList<double>, expected);
    const auto values = StoredRecordReply::values(reply, maxValues);
    QCOMPARE(values.size(), size_t(expected.size()));
    for (int k = 0; k < expected.size(); ++k)
        QCOMPARE(values[size_t(k)].value_or(-1), expected[k]);
}

void StoredRecordReplyTest::linesMatchFieldExtraction()
{
    // The one-pass walk must give what field extraction gives, line by line.
    const QString alphabet = QString::fromLatin1("\r\n \r7.5\0x", 10);
    QRandomGenerator random(42);
    for (int round = 0; round < 3000; ++round) {
        QString reply;
        const int length = random.bounded(30);
        for (int i = 0; i < length; ++i)
            reply.append(alphabet.at(random.bounded(alphabet.size())));
        const auto lines = StoredRecordReply::lines(reply, 1000);
        int j = 2;
        for (; j < 2 + int(lines.size()); ++j)
            QCOMPARE(lines[size_t(j - 2)], getField(reply, j, QString(kCR)));
        QVERIFY2(getField(reply, j, QString(kCR)).isEmpty(), qPrintable(reply.toLatin1().toPercentEncoding()));
    }
}

QTEST_GUILESS_MAIN(StoredRecordReplyTest)
#include "StoredRecordReplyTest.moc"
