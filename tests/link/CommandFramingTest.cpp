#include "CommandFraming.h"

#include <QtTest>

using namespace quarvel;

class CommandFramingTest : public QObject {
    Q_OBJECT
private slots:
    void linesOnTheWire_data();
    void linesOnTheWire();
    void valueFromReply_data();
    void valueFromReply();
    void getField_data();
    void getField();
    void cutAtTerminator_replacesNulAndStops();
};

void CommandFramingTest::linesOnTheWire_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text code drops its marker") << readLine("1", "sDID") << "1DID\r";
    QTest::newRow("numeric read") << readLine("1", "DRA") << "1DRA\r";
    QTest::newRow("list entry keeps its blank") << writeLine("1", "DCY 3", "1500") << "1DCY 3 1500\r";
    QTest::newRow("text value kept exactly") << writeLine("1", "sDVA", "4 cell  NiCd") << "1DVA 4 cell  NiCd\r";
    QTest::newRow("only the leading s is a marker") << readLine("1", "DsA") << "1DsA\r";
}

void CommandFramingTest::linesOnTheWire()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(line, expected);
}

void CommandFramingTest::valueFromReply_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("value");
    QTest::newRow("number after spaces") << "DRA" << "1DRA\r  10\r\n" << "10";
    QTest::newRow("line feed right after the echo ends the field") << "DRA" << "1DRA\r\n10" << "";
    QTest::newRow("text value comes back whole") << "sDVA" << "1DVA\rFlight pack\r\n" << "Flight pack\r\n";
    QTest::newRow("only the echo") << "DRA" << "1DRA\r" << "";
    QTest::newRow("no echo") << "DRA" << "10\r\n" << "";
    QTest::newRow("rejected") << "DRA" << "1DRA\r?\r\n" << "";
    QTest::newRow("question mark inside a text value") << "sDVA" << "1DVA\rWhat?\r\n" << "";
    QTest::newRow("characters in front of the echo do not shift the value") << "DRA" << "#~1DRA\r12.5\r\n" << "12.5";
    QTest::newRow("number cut at the first blank") << "DHA" << "1DHA\r5.25 V\r\n" << "5.25";
    QTest::newRow("echo of another line") << "DRA" << "1DRB\r10\r\n" << "";
    QTest::newRow("empty reply") << "DRA" << "" << "";
}

void CommandFramingTest::valueFromReply()
{
    QFETCH(QString, code);
    QFETCH(QString, reply);
    QFETCH(QString, value);
    QCOMPARE(quarvel::valueFromReply(reply, readLine("1", code), code), value);
}

void CommandFramingTest::getField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("field");
    const QString cr = QStringLiteral("\r");
    const QString crlfText = QStringLiteral("A\r\nB\r\nC");
    QTest::newRow("CR field 1") << crlfText << 1 << cr << "A";
    QTest::newRow("CR field 2") << crlfText << 2 << cr << "B";
    QTest::newRow("CR field 3") << crlfText << 3 << cr << "C";
    QTest::newRow("CR field 4 is empty") << crlfText << 4 << cr << "";
    QTest::newRow("run of spaces counts once") << "7   8 9" << 2 << " " << "8";
    QTest::newRow("field after a single space is skipped past") << "7   8 9" << 3 << " " << "";
    QTest::newRow("leading spaces of a line are dropped") << "echo\r\n  7.5\r\n" << 2 << cr << "7.5";
    QTest::newRow("trailing spaces stay for the number conversion") << "echo\r\n7.5  \r\n" << 2 << cr << "7.5  ";
    QTest::newRow("n below 1 acts as 1") << " 12 34" << 0 << " " << "12";
    QTest::newRow("empty text") << "" << 2 << cr << "";
}

void CommandFramingTest::getField()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, separator);
    QFETCH(QString, field);
    QCOMPARE(quarvel::getField(text, n, separator), field);
}

void CommandFramingTest::cutAtTerminator_replacesNulAndStops()
{
    const QString text = QStringLiteral("ab") + QChar(0) + QStringLiteral("c d");
    QCOMPARE(cutAtTerminator(text, " "), QStringLiteral("ab c"));
    QCOMPARE(cutAtTerminator(QString(), " "), QString());
    QCOMPARE(cutAtTerminator("x\ny", "\r"), QStringLiteral("x"));
}

QTEST_APPLESS_MAIN(CommandFramingTest)
#include "CommandFramingTest.moc"
