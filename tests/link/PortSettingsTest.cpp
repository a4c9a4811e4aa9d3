// The port settings: the settings file, and the dialog that fills from it and applies a choice.
#include "link/PortSettingsFile.h"
#include "link/ui/CommsDialog.h"
#include "support/FakeSerialPort.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalSpy>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

namespace {

// A dialog on a fake port, with the settings file in a throw-away folder.
struct Rig {
    Rig() { port.open(); }
    ~Rig() { delete dialog.data(); }
    QString iniPath() const { return PortSettingsFile(dir.path()).path(); }
    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(dialog, &activation);
    }
    QLineEdit* portField() const { return dialog->findChild<QLineEdit*>(QStringLiteral("txtCommPort")); }
    QRadioButton* speed(int i) const { return dialog->findChild<QRadioButton*>(QStringLiteral("optBaudrate%1").arg(i)); }
    QString checkedSpeed() const
    {
        QString checked;
        for (int i = 0; i < 5; ++i)
            checked += speed(i)->isChecked() ? speed(i)->text() : QString();
        return checked; // two checked would show as both captions
    }
    bool apply()
    {
        dialog->findChild<QPushButton*>(QStringLiteral("cmdApply"))->click();
        return QTest::qWaitFor([&] { return dialog.isNull(); }); // it closes and deletes itself
    }

    QTemporaryDir dir;
    FakeSerialPort port;
    ScriptedPrompter prompter;
    QPointer<CommsDialog> dialog = new CommsDialog(port, prompter, dir.path());
};

} // namespace

class PortSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void handWrittenFile_readsBack_data();
    void handWrittenFile_readsBack();
    void write_keepsPortTextAndTheRestOfTheFileButNoLineBreak();
    void folderInPlaceOfTheFile_isReportedAndGivesDefaults();
    void apply_reopensThePortAndStoresTheTexts_data();
    void apply_reopensThePortAndStoresTheTexts();
    void everyActivation_discardsChangesNotApplied();
    void portList_fillsTheNumberOfThePortChosen_andSearchAsksAtTheSpeedSelected();
};

void PortSettingsTest::apply_reopensThePortAndStoresTheTexts_data()
{
    QTest::addColumn<QString>("typed"); // empty: as the dialog shows it
    QTest::addColumn<int>("speed");     // -1: as the dialog shows it
    QTest::addColumn<QString>("openFailure");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("no file: port 1 at 9600") << "" << -1 << "" << 1 << "9600,n,8,1"
                                             << QByteArray("[Comm]\nPort=1\nBaudRate=9600\n");
    QTest::newRow("blanks typed are stored") << " 3 " << 4 << "" << 3 << "57600,n,8,1"
                                             << QByteArray("[Comm]\nPort= 3 \nBaudRate=57600\n");
    QTest::newRow("a text that names no port keeps the number")
        << "COM3" << 3 << "" << 1 << "19200,n,8,1" << QByteArray("[Comm]\nPort=COM3\nBaudRate=19200\n");
    QTest::newRow("the largest port number") << "32767" << -1 << "" << 32767 << "9600,n,8,1"
                                             << QByteArray("[Comm]\nPort=32767\nBaudRate=9600\n");
    QTest::newRow("one more names no port") << "32768" << -1 << "" << 1 << "9600,n,8,1"
                                            << QByteArray("[Comm]\nPort=32768\nBaudRate=9600\n");
    QTest::newRow("a port that cannot be opened") << "9" << -1 << "No such file or directory (/dev/ttyUSB8)" << 9
                                                  << "9600,n,8,1" << QByteArray("[Comm]\nPort=9\nBaudRate=9600\n");
}

void PortSettingsTest::apply_reopensThePortAndStoresTheTexts()
{
    QFETCH(QString, typed);
    QFETCH(int, speed);
    QFETCH(QString, openFailure);
    QFETCH(int, number);
    QFETCH(QString, settings);
    QFETCH(QByteArray, file);
    Rig r;
    r.activate();
    if (!typed.isEmpty())
        r.portField()->setText(typed);
    if (speed >= 0)
        r.speed(speed)->click();
    if (!openFailure.isEmpty())
        r.port.failNextOpen(openFailure);
    QVERIFY(r.apply());
    QCOMPARE(r.port.portNumber(), number);
    QCOMPARE(r.port.settings(), settings);
    QCOMPARE(readFile(r.iniPath()), file);
    QCOMPARE(r.port.isOpen(), openFailure.isEmpty());
    QCOMPARE(r.port.openCount(), openFailure.isEmpty() ? 2 : 1); // closed, then opened again
    QCOMPARE(r.prompter.messages, openFailure.isEmpty() ? QStringList() : QStringList{openFailure});
}

void PortSettingsTest::everyActivation_discardsChangesNotApplied()
{
    Rig r;
    writeFile(r.iniPath(), "[Comm]\nPort=   4   \n");
    r.dialog->show(); // showing activates it, which fills it
    r.dialog->activateWindow();
    QTRY_COMPARE(r.portField()->text(), QStringLiteral("4")); // blanks stripped on reading
    QCOMPARE(r.checkedSpeed(), QStringLiteral("9600"));
    r.portField()->setText(QStringLiteral("7"));
    r.speed(0)->click();
    writeFile(r.iniPath(), "[Comm]\nPort=5\nBaudRate=  19200 \n");
    r.activate();
    QCOMPARE(r.portField()->text(), QStringLiteral("5"));
    QCOMPARE(r.checkedSpeed(), QStringLiteral("19200"));

    // A speed the file does not name leaves the selection as it was.
    r.speed(1)->click();
    writeFile(r.iniPath(), "[Comm]\nPort=6\nBaudRate=300\n");
    r.activate();
    QCOMPARE(r.checkedSpeed(), QStringLiteral("4800"));
    r.dialog->close(); // from the title bar: nothing applied
    QTRY_VERIFY(r.dialog.isNull());
    QCOMPARE(r.port.openCount(), 1);
    QCOMPARE(r.port.portNumber(), 1);
}

void PortSettingsTest::handWrittenFile_readsBack_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baudRate");
    QTest::newRow("no file") << QByteArray() << "1" << "9600";
    QTest::newRow("CR LF, blanks and other case around names and values")
        << QByteArray("[ COMM ]\r\n  port =  4  \r\nBaudRate = 19200\r\n") << "4" << "19200";
    QTest::newRow("other sections and comments ignored, first entry counts")
        << QByteArray("; s\n[Other]\nPort=9\n[Comm]\n# Port=8\nPort=2\nPort=6\n[Later]\nBaudRate=2400\n") << "2" << "9600";
    QTest::newRow("19 characters at most, then stripped")
        << QByteArray("[Comm]\nPort=123456789012345678 9XYZ\n") << "123456789012345678" << "9600";
    QTest::newRow("unknown speed as written, no line end") << QByteArray("[Comm]\nBaudRate=115200") << "1" << "115200";
    QTest::newRow("binary junk") << QByteArray("\0\xff[\n=\n[Comm\nPort", 14) << "1" << "9600";
}

void PortSettingsTest::handWrittenFile_readsBack()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, port);
    QFETCH(QString, baudRate);
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    if (!text.isEmpty())
        writeFile(file.path(), text);
    const auto values = file.read();
    QCOMPARE(values.port, port);
    QCOMPARE(values.baudRate, baudRate);
    QCOMPARE(values.device, QString()); // written before the program remembered devices
    QCOMPARE(file.errorString(), QString());
}

void PortSettingsTest::write_keepsPortTextAndTheRestOfTheFileButNoLineBreak()
{
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    writeFile(file.path(), "; mine\r\n[Window]\r\nLeft=10\r\n\r\n[comm]\r\nport = 2\r\nExtra=yes\r\n\r\n[Tail]\r\nA=1\r\n");
    QVERIFY(file.write(QStringLiteral("  =[4]= "), QStringLiteral("2400")));
    QCOMPARE(readFile(file.path()),
             QByteArray("; mine\r\n[Window]\r\nLeft=10\r\n\r\n[comm]\r\nPort=  =[4]= \r\nExtra=yes\r\nBaudRate=2400\r\n"
                        "\r\n[Tail]\r\nA=1\r\n"));
    QCOMPARE(file.read().port, QStringLiteral("=[4]="));
    QVERIFY(!file.write(QStringLiteral("3\n[Evil]"), QStringLiteral("9600")));
    QVERIFY(!file.errorString().isEmpty());
    QCOMPARE(file.read().port, QStringLiteral("=[4]=")); // the file is untouched

    PortSettingsFile fresh(dir.filePath(QStringLiteral("a/Quarvel"))); // its folder is made
    QVERIFY2(fresh.write(QStringLiteral("1"), QStringLiteral("9600")), qPrintable(fresh.errorString()));
    QCOMPARE(readFile(fresh.path()), QByteArray("[Comm]\nPort=1\nBaudRate=9600\n"));
    // The program's own keys come after the two classic ones, which stay as they are.
    const QString byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3ZQ2-if00-port0");
    QVERIFY(fresh.rememberDevice(QStringLiteral("/dev/ttyUSB0"), byId));
    QVERIFY(fresh.write(QStringLiteral("2"), QStringLiteral("4800")));
    QCOMPARE(readFile(fresh.path()), "[Comm]\nPort=2\nBaudRate=4800\nDevice=/dev/ttyUSB0\nIdentity=" + byId.toUtf8() + "\n");
    QCOMPARE(fresh.read().identity, byId); // longer than the classic keys' 19 characters
}

void PortSettingsTest::folderInPlaceOfTheFile_isReportedAndGivesDefaults()
{
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Quarvel.ini")));
    QVERIFY(!file.write(QStringLiteral("3"), QStringLiteral("9600")));
    QVERIFY(file.errorString().startsWith(QStringLiteral("The port settings could not be saved to")));
    QCOMPARE(file.read().port, QStringLiteral("1"));
    QVERIFY2(file.errorString().contains(QStringLiteral("cannot be read")), qPrintable(file.errorString()));
}

void PortSettingsTest::portList_fillsTheNumberOfThePortChosen_andSearchAsksAtTheSpeedSelected()
{
    Rig r;
    const QString device = QDir(r.dir.path()).filePath(QStringLiteral("ttyAdapter"));
    writeFile(device, "");
    QVERIFY(QFile::link(device, QDir(r.dir.path()).filePath(QStringLiteral("com4"))));
    r.activate();
    auto* list = r.dialog->findChild<QListWidget*>(QStringLiteral("lstPorts"));
    const auto items = list->findItems(QStringLiteral("Com 4: ") + QFileInfo(device).canonicalFilePath(), Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    QCOMPARE(list->accessibleName(), QStringLiteral("Serial ports on this system:"));
    list->setCurrentItem(items[0]);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(r.portField()->text(), QStringLiteral("4"));

    QSignalSpy search(r.dialog.data(), &CommsDialog::searchRequested);
    r.speed(3)->click();
    r.dialog->findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
    QCOMPARE(search.size(), 1);
    QCOMPARE(search[0][0].toString(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(r.port.openCount(), 1); // the window runs the search; the dialog changed nothing
}

QTEST_MAIN(PortSettingsTest)
#include "PortSettingsTest.moc"
