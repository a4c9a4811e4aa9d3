#include "CommsDialog.h"
#include "FakeSerialPort.h"
#include "PortSettingsFile.h"
#include "ScriptedPrompter.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

using namespace quarvel;
using quarvel::test::readFile;
using quarvel::test::writeFile;
using quarvel::test::FakeSerialPort;
using quarvel::test::ScriptedPrompter;

class CommsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noFileShowsPortOneAt9600AndApplyCreatesIt();
    void applyReopensThePortAndWritesTheFile();
    void speedFromTheFile_data();
    void speedFromTheFile();
    void everyActivationDiscardsChangesNotApplied();
    void blanksStrippedOnReadButKeptOnWrite();
    void portTextThatIsNoNumberKeepsThePortNumber();
    void portThatCannotBeOpenedIsReportedAndStaysClosed();
    void unwritableSettingsAreReportedAndThePortStillApplied();
    void deviceOfTheTypedNumberIsShown();
    void layoutAndNames();
    void showingTheDialogFillsItFromTheFile();

private:
    void makeDialog(const QString& folder);
    void activate();
    QLineEdit* portField() const { return m_dialog->findChild<QLineEdit*>(QStringLiteral("txtCommPort")); }
    QRadioButton* speed(int i) const
    {
        return m_dialog->findChild<QRadioButton*>(QStringLiteral("optBaudrate%1").arg(i));
    }
    int checkedSpeed() const;
    void apply();

    QTemporaryDir* m_dir = nullptr;
    FakeSerialPort* m_port = nullptr;
    ScriptedPrompter* m_prompter = nullptr;
    QPointer<CommsDialog> m_dialog;
};

void CommsDialogTest::init()
{
    m_dir = new QTemporaryDir;
    m_port = new FakeSerialPort;
    m_prompter = new ScriptedPrompter;
    QVERIFY(m_port->open());
    makeDialog(m_dir->path());
}

void CommsDialogTest::cleanup()
{
    delete m_dialog.data();
    delete m_prompter;
    delete m_port;
    delete m_dir;
}

void CommsDialogTest::makeDialog(const QString& folder)
{
    delete m_dialog.data();
    m_dialog = new CommsDialog(*m_port, *m_prompter, folder);
}

void CommsDialogTest::activate()
{
    QEvent event(QEvent::WindowActivate);
    QCoreApplication::sendEvent(m_dialog, &event);
}

int CommsDialogTest::checkedSpeed() const
{
    int found = -1;
    for (int i = 0; i < 5; ++i) {
        if (speed(i)->isChecked())
            found = found < 0 ? i : 99; // more than one would be a fault
    }
    return found;
}

void CommsDialogTest::apply()
{
    m_dialog->findChild<QPushButton*>(QStringLiteral("cmdApply"))->click();
    // The dialog closes and deletes itself.
    QTRY_VERIFY(m_dialog.isNull());
}

void CommsDialogTest::noFileShowsPortOneAt9600AndApplyCreatesIt()
{
    activate();
    QCOMPARE(portField()->text(), QStringLiteral("1"));
    QCOMPARE(checkedSpeed(), 2);
    apply();
    QCOMPARE(readFile(PortSettingsFile(m_dir->path()).path()), QByteArray("[Comm]\nPort=1\nBaudRate=9600\n"));
    QVERIFY(m_port->isOpen());
    QCOMPARE(m_port->portNumber(), 1);
    QCOMPARE(m_port->settings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(m_prompter->messages, QStringList());
}

void CommsDialogTest::applyReopensThePortAndWritesTheFile()
{
    activate();
    portField()->setText(QStringLiteral("3"));
    speed(4)->click();
    const int opensBefore = m_port->openCount();
    apply();
    QVERIFY(m_port->isOpen());
    QCOMPARE(m_port->openCount(), opensBefore + 1); // closed, then opened again
    QCOMPARE(m_port->portNumber(), 3);
    QCOMPARE(m_port->settings(), QStringLiteral("57600,n,8,1"));
    const auto values = PortSettingsFile(m_dir->path()).read();
    QCOMPARE(values.port, QStringLiteral("3"));
    QCOMPARE(values.baudRate, QStringLiteral("57600"));
    QCOMPARE(m_prompter->messages, QStringList());
}

void CommsDialogTest::speedFromTheFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("selected");
    QTest::newRow("2400") << QByteArray("[Comm]\nBaudRate=2400\n") << 0;
    QTest::newRow("19200") << QByteArray("[Comm]\nBaudRate=19200\n") << 3;
    QTest::newRow("57600 with blanks") << QByteArray("[Comm]\nBaudRate=  57600 \n") << 4;
    QTest::newRow("unknown speed keeps 9600") << QByteArray("[Comm]\nBaudRate=115200\n") << 2;
    QTest::newRow("empty speed keeps 9600") << QByteArray("[Comm]\nBaudRate=\n") << 2;
    QTest::newRow("speed with a unit keeps 9600") << QByteArray("[Comm]\nBaudRate=4800 baud\n") << 2;
}

void CommsDialogTest::speedFromTheFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, selected);
    writeFile(PortSettingsFile(m_dir->path()).path(), file);
    activate();
    QCOMPARE(checkedSpeed(), selected);
}

void CommsDialogTest::everyActivationDiscardsChangesNotApplied()
{
    activate();
    portField()->setText(QStringLiteral("7"));
    speed(0)->click();
    writeFile(PortSettingsFile(m_dir->path()).path(), "[Comm]\nPort=5\nBaudRate=19200\n");
    activate();
    QCOMPARE(portField()->text(), QStringLiteral("5"));
    QCOMPARE(checkedSpeed(), 3);

    // A speed the file does not name leaves the selection as it was.
    speed(1)->click();
    writeFile(PortSettingsFile(m_dir->path()).path(), "[Comm]\nPort=6\nBaudRate=300\n");
    activate();
    QCOMPARE(portField()->text(), QStringLiteral("6"));
    QCOMPARE(checkedSpeed(), 1);
    QVERIFY(m_port->isOpen()); // nothing applied
    QCOMPARE(m_port->portNumber(), 1);
}

void CommsDialogTest::blanksStrippedOnReadButKeptOnWrite()
{
    writeFile(PortSettingsFile(m_dir->path()).path(), "[Comm]\nPort=   4   \n");
    activate();
    QCOMPARE(portField()->text(), QStringLiteral("4"));
    portField()->setText(QStringLiteral("  3 "));
    apply();
    QVERIFY(readFile(PortSettingsFile(m_dir->path()).path()).contains("\nPort=  3 \n"));
    QCOMPARE(m_port->portNumber(), 3);
}

void CommsDialogTest::portTextThatIsNoNumberKeepsThePortNumber()
{
    m_port->setPortNumber(5);
    activate();
    portField()->setText(QStringLiteral("COM3"));
    speed(3)->click();
    apply();
    QCOMPARE(m_port->portNumber(), 5);
    QCOMPARE(m_port->settings(), QStringLiteral("19200,n,8,1"));
    QVERIFY(m_port->isOpen());
    const auto values = PortSettingsFile(m_dir->path()).read();
    QCOMPARE(values.port, QStringLiteral("COM3"));
    QCOMPARE(values.baudRate, QStringLiteral("19200"));
}

void CommsDialogTest::portThatCannotBeOpenedIsReportedAndStaysClosed()
{
    activate();
    portField()->setText(QStringLiteral("9"));
    const QString error = QStringLiteral("No such file or directory (/dev/ttyUSB8)");
    m_port->failNextOpen(error);
    apply();
    QCOMPARE(m_prompter->messages, QStringList{error});
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_port->portNumber(), 9);
    QCOMPARE(PortSettingsFile(m_dir->path()).read().port, QStringLiteral("9"));
}

void CommsDialogTest::unwritableSettingsAreReportedAndThePortStillApplied()
{
    writeFile(m_dir->filePath(QStringLiteral("blocked")), "x");
    makeDialog(m_dir->filePath(QStringLiteral("blocked/Quarvel")));
    activate();
    portField()->setText(QStringLiteral("2"));
    apply();
    QCOMPARE(m_prompter->messages.size(), 1);
    QVERIFY2(m_prompter->messages[0].startsWith(QStringLiteral("The port settings could not be saved to")),
             qPrintable(m_prompter->messages[0]));
    QVERIFY(m_port->isOpen());
    QCOMPARE(m_port->portNumber(), 2);
}

void CommsDialogTest::deviceOfTheTypedNumberIsShown()
{
    const QString target = m_dir->filePath(QStringLiteral("device"));
    writeFile(target, "");
    QVERIFY(QFile::link(target, m_dir->filePath(QStringLiteral("com2"))));
    activate();
    auto* device = m_dialog->findChild<QLabel*>(QStringLiteral("lblDevice"));
    portField()->setText(QStringLiteral("2"));
    QVERIFY2(device->text().endsWith(target), qPrintable(device->text()));
    portField()->setText(QStringLiteral("x"));
    QVERIFY(!device->text().contains(QLatin1Char('/')));
}

void CommsDialogTest::layoutAndNames()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Communications..."));
    QVERIFY(!m_dialog->isModal());
    QCOMPARE(portField()->geometry(), QRect(80, 4, 53, 21));
    QCOMPARE(portField()->accessibleName(), QStringLiteral("Com"));
    const QStringList captions{"2400", "4800", "9600", "19200", "57600"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(speed(i)->text(), captions[i]);
        QCOMPARE(speed(i)->geometry(), QRect(28, (300 + 240 * i + 7) / 15, 57, 13));
    }
    QCOMPARE(m_dialog->findChild<QPushButton*>(QStringLiteral("cmdApply"))->geometry(), QRect(56, 144, 53, 17));
}

void CommsDialogTest::showingTheDialogFillsItFromTheFile()
{
    writeFile(PortSettingsFile(m_dir->path()).path(), "[Comm]\nPort=8\nBaudRate=4800\n");
    m_dialog->show();
    m_dialog->activateWindow();
    QTRY_COMPARE(portField()->text(), QStringLiteral("8"));
    QCOMPARE(checkedSpeed(), 1);
    // Closing from the title bar applies nothing.
    m_dialog->close();
    QTRY_VERIFY(m_dialog.isNull());
    QCOMPARE(m_port->portNumber(), 1);
    QCOMPARE(m_port->openCount(), 1);
}

QTEST_MAIN(CommsDialogTest)
#include "CommsDialogTest.moc"
