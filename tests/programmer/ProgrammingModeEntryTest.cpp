#include "BootLoader.h"
#include "FakeSerialPort.h"
#include "ProgramTab.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "SimulatedSerialPort.h"
#include "VirtualInstrument.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace quarvel;

namespace {

QString boxText(QWidget& tab, const char* name)
{
    auto* box = tab.findChild<QLineEdit*>(QLatin1String(name));
    return box ? box->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

void setBox(QWidget& tab, const char* name, const QString& text)
{
    tab.findChild<QLineEdit*>(QLatin1String(name))->setText(text);
}

// A loader on the fake port that answers each command from a table, echo included.
test::FakeSerialPort::Responder loaderAnswering(QMap<QByteArray, QByteArray> replies)
{
    return [replies](const QByteArray& written) { return replies.value(written); };
}

} // namespace

class ProgrammingModeEntryTest : public QObject {
    Q_OBJECT
private slots:
    void identifiesTheVirtualLoader();
    void lockReplyWithoutDataByteKeepsTheBox();
    void shortSignatureEndsIdentification();
    void noInstrumentEndsAfterS();
    void reopenFailureIsReported();
    void controlsCarryTheirCaptionsAndLabels();
};

void ProgrammingModeEntryTest::identifiesTheVirtualLoader()
{
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port(instrument);
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.setSettings(QStringLiteral("4800,n,8,1")));
    QVERIFY(port.open());
    ProgramTab tab(port, link, prompter);
    QString save;
    tab.enterProgrammingMode(save);

    QCOMPARE(save, QStringLiteral("4800,n,8,1"));
    QCOMPARE(port.settings(), QStringLiteral("19200,n,8,1"));
    QVERIFY(port.isOpen());
    QCOMPARE(instrument.mode(), sim::VirtualInstrument::Mode::BootLoader);
    QCOMPARE(boxText(tab, "txtProgrammer"), QStringLiteral("QRVBOOT"));
    QCOMPARE(boxText(tab, "txtSWver"), QStringLiteral("12"));
    QCOMPARE(boxText(tab, "txtHWver"), QStringLiteral("10"));
    QCOMPARE(boxText(tab, "txtSignature"), QStringLiteral("1E 93 7 "));
    QCOMPARE(tab.signatureBytes(), (QList<int>{30, 147, 7}));
    QCOMPARE(boxText(tab, "txtLockBits"), QStringLiteral("EF"));
    QCOMPARE(boxText(tab, "txtFuseBits"), QStringLiteral("8E"));
    QCOMPARE(port.written(), QByteArray("1pgm\rSVvsrF") + QByteArray("x y ").repeated(5));
    QCOMPARE(port.settingsAtWrite().first(), QStringLiteral("4800,n,8,1"));
    QCOMPARE(port.settingsAtWrite().last(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(port.bytesAvailable(), 0); // the LED acknowledgements were read and discarded
    QVERIFY(prompter.messages.isEmpty());
}

void ProgrammingModeEntryTest::lockReplyWithoutDataByteKeepsTheBox()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.open());
    port.setResponder(loaderAnswering({{"S", "SLOADER1"},
                                       {"V", "V2"},
                                       {"v", "v3"},
                                       {"s", QByteArray("s\x1e\x93\x07")},
                                       {"r", "r"},
                                       {"F", QByteArray("F\xd9")}}));
    ProgramTab tab(port, link, prompter);
    setBox(tab, "txtLockBits", QStringLiteral("3F"));
    QString save;
    tab.enterProgrammingMode(save);
    QCOMPARE(boxText(tab, "txtProgrammer"), QStringLiteral("LOADER1"));
    QCOMPARE(boxText(tab, "txtSignature"), QStringLiteral("1E 93 7 "));
    QCOMPARE(boxText(tab, "txtLockBits"), QStringLiteral("3F"));
    QCOMPARE(boxText(tab, "txtFuseBits"), QStringLiteral("D9"));
    QCOMPARE(port.writes().size(), 1 + 6 + 10); // 1pgm, six questions, ten LED commands
}

void ProgrammingModeEntryTest::shortSignatureEndsIdentification()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.open());
    port.setResponder(loaderAnswering({{"S", "SLOADER1"}, {"V", "V2"}, {"v", "v3"}, {"s", QByteArray("s\x1e")}}));
    ProgramTab tab(port, link, prompter);
    setBox(tab, "txtFuseBits", QStringLiteral("8E"));
    QString save;
    tab.enterProgrammingMode(save);
    QCOMPARE(boxText(tab, "txtSignature"), QStringLiteral("1E "));
    QCOMPARE(boxText(tab, "txtFuseBits"), QStringLiteral("8E"));
    QCOMPARE(port.written(), QByteArray("1pgm\rSVvs"));
}

void ProgrammingModeEntryTest::noInstrumentEndsAfterS()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.setSettings(QStringLiteral("9600,n,8,1")));
    QVERIFY(port.open());
    ProgramTab tab(port, link, prompter);
    setBox(tab, "txtProgrammer", QStringLiteral("earlier"));
    QString save;
    tab.enterProgrammingMode(save);
    QCOMPARE(port.written(), QByteArray("1pgm\rS"));
    QVERIFY(port.isOpen());
    QCOMPARE(port.settings(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(save, QStringLiteral("9600,n,8,1"));
    QCOMPARE(boxText(tab, "txtProgrammer"), QStringLiteral("earlier"));
    QVERIFY(prompter.messages.isEmpty());
}

void ProgrammingModeEntryTest::reopenFailureIsReported()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    QVERIFY(port.open());
    port.failNextOpen(QStringLiteral("Permission denied"));
    ProgramTab tab(port, link, prompter);
    QString save;
    tab.enterProgrammingMode(save);
    QCOMPARE(port.written(), QByteArray("1pgm\r"));
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY(prompter.messages.first().contains(QStringLiteral("Permission denied")));
}

void ProgrammingModeEntryTest::controlsCarryTheirCaptionsAndLabels()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    ProgramTab tab(port, link, prompter);
    const QMap<QString, QString> buttons{{"cmdFileName", "Program file name"}, {"cmdEraseFlash", "Erase Flash"},
                                         {"cmdProgramFlash", "Program Flash"}, {"cmdVerifyFlash", "Verify Flash"},
                                         {"cmdLockBits", "Write Lock Bits"},   {"cmdFuseBits", "Write Fuse Bits"}};
    for (auto it = buttons.cbegin(); it != buttons.cend(); ++it) {
        auto* b = tab.findChild<QPushButton*>(it.key());
        QVERIFY2(b, qPrintable(it.key()));
        QCOMPARE(b->text(), it.value());
    }
    const QMap<QString, QString> fields{{"txtFileName", "Program file name"}, {"txtProgrammer", "Programmer"},
                                        {"txtSWver", "Software version"},      {"txtHWver", "Hardware version"},
                                        {"txtSignature", "Singnature bytes"},   {"txtLockBits", "Lock bits, EF"},
                                        {"txtFuseBits", "Fuse bits, 8E"}};
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        auto* box = tab.findChild<QLineEdit*>(it.key());
        QVERIFY2(box, qPrintable(it.key()));
        QCOMPARE(box->accessibleName(), it.value());
    }
    QCOMPARE(boxText(tab, "txtFileName"), QStringLiteral("*.hex"));
    auto* progress = tab.findChild<QProgressBar*>(QStringLiteral("progress"));
    QVERIFY(progress);
    QCOMPARE(progress->maximum(), 7679);
}

QTEST_MAIN(ProgrammingModeEntryTest)
#include "ProgrammingModeEntryTest.moc"
