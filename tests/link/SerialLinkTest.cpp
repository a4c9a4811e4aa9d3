// The command channel: how it frames a line, takes the value out of the answer, and waits.
#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "support/FakeSerialPort.h"
#include "support/ScriptedPrompter.h"

#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

using namespace quarvel;
using namespace quarvel::test;

namespace {
struct FakeRig {
    FakeRig() { port.open(); }
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link{port, prompter};
};
} // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT
private slots:
    void onlyALeadingSMarksATextCode();
    void valueFromReply_data();
    void valueFromReply();
    void answerTo_data();
    void answerTo();
    void getField_data();
    void getField();
    void cutAtTerminator_replacesNulAndStops();
    void exchanges_discardWhatWasLeftAndReadAfterTheEcho();
    void rejectedLongText_isReportedAtEverySpeed_data();
    void rejectedLongText_isReportedAtEverySpeed();
    void delay_holdsBackUserInputUntilItEnds();
    void waitTransmitDone_endsWhenPortCloses();
};

void SerialLinkTest::exchanges_discardWhatWasLeftAndReadAfterTheEcho()
{
    FakeRig r;
    r.port.feed("stale 99\r\n");
    r.port.setResponder([](const QByteArray& line) { return line + "  12.5\r\n"; });
    QCOMPARE(r.link.getValue("1", "DRA"), QStringLiteral("12.5"));
    r.link.sendCommand("1", "ELD\r");
    QCOMPARE(r.port.writes(), (QByteArrayList{"1DRA\r", "1ELD\r"}));
    QCOMPARE(r.port.readAll(), QByteArray("1ELD\r  12.5\r\n")); // a command's answer is left unread
    r.port.close(); // a closed port reads empty and fails quietly
    QCOMPARE(r.link.getValue("1", "DRA"), QString());
    r.link.setValue("1", "DRA", "10");
    QCOMPARE(r.port.writes().size(), 2);
    QCOMPARE(r.prompter.messages, QStringList());
}

void SerialLinkTest::rejectedLongText_isReportedAtEverySpeed_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("lineMs"); // 28 bytes at 10 bits each
    QTest::newRow("9600") << "9600,n,8,1" << 30;
    QTest::newRow("2400") << "2400,n,8,1" << 117;
}

void SerialLinkTest::rejectedLongText_isReportedAtEverySpeed()
{
    QFETCH(QString, settings);
    QFETCH(int, lineMs);
    FakeRig r;
    QVERIFY(r.port.setSettings(settings));
    // The system takes the line at once; the instrument has it, and answers, only when its last
    // byte has crossed the line.
    r.port.setResponder([&](const QByteArray&) {
        QTimer::singleShot(lineMs + 2, &r.link, [&] { r.port.feed("1DM1 Hello world, long text\r?\r\n"); });
        return QByteArray();
    });
    r.link.setValue("1", "sDM1", "Hello world, long text");
    QCOMPARE(r.prompter.messages, QStringList{"Error sending command to servo!"});
}

void SerialLinkTest::delay_holdsBackUserInputUntilItEnds()
{
    FakeRig r;
    QLineEdit field;
    field.show();
    field.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&field));
    // A key as the window system delivers it, queued like real typing.
    QTimer::singleShot(10, &field, [&] {
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            field.windowHandle(), QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    });
    bool timerRan = false;
    QTimer::singleShot(20, &field, [&] { timerRan = true; });
    r.link.delay(80);
    QVERIFY(timerRan);                 // timers run during a delay
    QCOMPARE(field.text(), QString()); // typing waits
    QTRY_COMPARE(field.text(), QStringLiteral("a")); // and is not lost
}

void SerialLinkTest::waitTransmitDone_endsWhenPortCloses()
{
    FakeRig r;
    r.port.setPendingTransmit(100); // never drains
    QTimer::singleShot(30, &r.link, [&] { r.port.close(); });
    r.link.waitTransmitDone();
    QVERIFY(!r.port.isOpen());
}

void SerialLinkTest::onlyALeadingSMarksATextCode()
{
    QCOMPARE(readLine("1", "sDVA"), QStringLiteral("1DVA\r"));
    QCOMPARE(readLine("1", "DsA"), QStringLiteral("1DsA\r"));
}

void SerialLinkTest::valueFromReply_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("value");
    QTest::newRow("number after spaces") << "DRA" << "1DRA\r  10\r\n" << "10";
    QTest::newRow("line feed right after the echo ends the field") << "DRA" << "1DRA\r\n10" << "";
    QTest::newRow("text value without its line end") << "sDVA" << "1DVA\rFlight pack\r\n" << "Flight pack";
    QTest::newRow("text value keeps its blanks") << "sDVB" << "1DVB\r 4 cell  NiCd \r\n" << " 4 cell  NiCd ";
    QTest::newRow("every trailing CR and LF goes") << "sDM1" << "1DM1\rHello\n\r\r\n" << "Hello";
    QTest::newRow("no echo") << "DRA" << "10\r\n" << "";
    QTest::newRow("rejected") << "DRA" << "1DRA\r?\r\n" << "";
    QTest::newRow("question mark inside a text value") << "sDVA" << "1DVA\rWhat?\r\n" << "";
    QTest::newRow("characters in front of the echo do not shift the value") << "DRA" << "#~1DRA\r12.5\r\n" << "12.5";
    QTest::newRow("number cut at the first blank") << "DHA" << "1DHA\r5.25 V\r\n" << "5.25";
}

void SerialLinkTest::valueFromReply()
{
    QFETCH(QString, code);
    QFETCH(QString, reply);
    QFETCH(QString, value);
    QCOMPARE(quarvel::valueFromReply(reply, readLine("1", code), code), value);
}

void SerialLinkTest::answerTo_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("answer");
    const int confirmed = int(Answer::Confirmed), refused = int(Answer::Refused), unanswered = int(Answer::Unanswered);
    QTest::newRow("echo and line end") << "1DM1 Ready?\r\r\n" << confirmed; // the "?" is the value's
    QTest::newRow("refused after the echo") << "1DM1 Ready?\r?\r\n" << refused;
    QTest::newRow("nothing") << "" << unanswered;
    QTest::newRow("part of the echo") << "1DM1 Rea" << unanswered;
    QTest::newRow("something else first") << "x1DM1 Ready?\r\r\n" << unanswered;
}

void SerialLinkTest::answerTo()
{
    QFETCH(QString, reply);
    QFETCH(int, answer);
    QCOMPARE(int(quarvel::answerTo(reply, writeLine("1", "sDM1", "Ready?"))), answer);
}

void SerialLinkTest::getField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("field");
    const QString cr = QStringLiteral("\r");
    const QString crlfText = QStringLiteral("A\r\nB\r\nC");
    QTest::newRow("CR field 2") << crlfText << 2 << cr << "B";
    QTest::newRow("CR field 4 is empty") << crlfText << 4 << cr << "";
    QTest::newRow("run of spaces counts once") << "7   8 9" << 2 << " " << "8";
    QTest::newRow("field after a single space is skipped past") << "7   8 9" << 3 << " " << "";
    QTest::newRow("leading spaces of a line are dropped") << "echo\r\n  7.5\r\n" << 2 << cr << "7.5";
}

void SerialLinkTest::getField()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, separator);
    QFETCH(QString, field);
    QCOMPARE(quarvel::getField(text, n, separator), field);
}

void SerialLinkTest::cutAtTerminator_replacesNulAndStops()
{
    const QString text = QStringLiteral("ab") + QChar(0) + QStringLiteral("c d");
    QCOMPARE(cutAtTerminator(text, " "), QStringLiteral("ab c"));
    QCOMPARE(cutAtTerminator(QString(), " "), QString());
    QCOMPARE(cutAtTerminator("x\ny", "\r"), QStringLiteral("x"));
}

QTEST_MAIN(SerialLinkTest)
#include "SerialLinkTest.moc"
