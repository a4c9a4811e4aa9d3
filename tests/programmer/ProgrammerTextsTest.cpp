#include "ProgrammerTexts.h"

#include <QtTest>

using namespace quarvel;

class ProgrammerTextsTest : public QObject {
    Q_OBJECT
private slots:
    void hexForm_data();
    void hexForm();
    void verifyQuestion_data();
    void verifyQuestion();
    void bitsAccepted_data();
    void bitsAccepted();
    void bitsRefused_data();
    void bitsRefused();
};

void ProgrammerTextsTest::hexForm_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0";
    QTest::newRow("7") << 7 << "7";
    QTest::newRow("30") << 30 << "1E";
    QTest::newRow("147") << 147 << "93";
    QTest::newRow("255") << 255 << "FF";
}

void ProgrammerTextsTest::hexForm()
{
    QFETCH(int, value);
    QTEST(hexByte(value), "text");
}

void ProgrammerTextsTest::verifyQuestion_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("expectedLow");
    QTest::addColumn<int>("expectedHigh");
    QTest::addColumn<int>("readLow");
    QTest::addColumn<int>("readHigh");
    QTest::addColumn<QString>("text");
    QTest::newRow("erased word") << 0 << 12 << 148 << 255 << 255 << "Verify error at 0 expected C94 read FFFF continue? ";
    QTest::newRow("zeros lose their leading digit") << 7690 << 0 << 1 << 0 << 0
                                                    << "Verify error at 7690 expected 01 read 00 continue? ";
}

void ProgrammerTextsTest::verifyQuestion()
{
    QFETCH(int, address);
    QFETCH(int, expectedLow);
    QFETCH(int, expectedHigh);
    QFETCH(int, readLow);
    QFETCH(int, readHigh);
    QTEST(quarvel::verifyQuestion(address, quint8(expectedLow), quint8(expectedHigh), quint8(readLow), quint8(readHigh)),
          "text");
}

void ProgrammerTextsTest::bitsAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("upper case") << "8E" << 0x8E;
    QTest::newRow("lower case") << "ef" << 0xEF;
    QTest::newRow("one digit") << "7" << 7;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("leading zeros") << "00FF" << 0xFF;
    QTest::newRow("surrounding blanks") << " 3f " << 0x3F;
}

void ProgrammerTextsTest::bitsAccepted()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const BitsText bits = parseBitsText(text, QStringLiteral("fuse bits"));
    QVERIFY(bits.value.has_value());
    QCOMPARE(int(*bits.value), value);
    QVERIFY(bits.error.isEmpty());
}

void ProgrammerTextsTest::bitsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("empty") << "" << "empty";
    QTest::newRow("blank") << "  " << "empty";
    QTest::newRow("above FF") << "100" << "above FF";
    QTest::newRow("far above FF") << "123456789ABCDEF" << "above FF";
    QTest::newRow("0x prefix") << "0x8E" << "prefix";
    QTest::newRow("dollar prefix") << "$8E" << "prefix";
    QTest::newRow("h suffix") << "8Eh" << "prefix";
    QTest::newRow("not hex") << "zz" << "not a hexadecimal number";
    QTest::newRow("digits then junk") << "8G" << "not a hexadecimal number";
    QTest::newRow("negative") << "-1" << "not a hexadecimal number";
}

void ProgrammerTextsTest::bitsRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, messagePart);
    const BitsText bits = parseBitsText(text, QStringLiteral("lock bits"));
    QVERIFY(!bits.value.has_value());
    QVERIFY2(bits.error.contains(messagePart), qPrintable(bits.error));
    QVERIFY(bits.error.contains(QStringLiteral("Nothing was written.")));
}

QTEST_GUILESS_MAIN(ProgrammerTextsTest)
#include "ProgrammerTextsTest.moc"
