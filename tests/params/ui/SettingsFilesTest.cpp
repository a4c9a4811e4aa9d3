// The window's settings files against quarvel-cli's backup and restore, on two virtual
// instruments in this process: a file saved by either front end loads in the other.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "link/CommandFraming.h"
#include "params/ParameterTable.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParameterPages.h"
#include "params/ui/SettingsFiles.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

namespace {

int runCli(SerialPort& port, const QStringList& arguments)
{
    const cli::Arguments parsed = cli::parseArguments(arguments);
    cli::Session session(parsed, &port);
    return cli::runCommand(session, parsed);
}

// Settings an instrument holds after leaving the factory, none of them at its default.
void changeSettings(sim::ApplicationFirmware& app)
{
    app.setValue(QStringLiteral("DM1"), QStringLiteral("  Club 7 ")); // blanks at either end are the text's
    app.setValue(QStringLiteral("DRA"), QStringLiteral("47"));
    app.setValue(QStringLiteral("DCY 9"), QStringLiteral("1200"));
}

QStringList settingsOf(sim::VirtualInstrument& instrument)
{
    QStringList values;
    for (const QString& code : settingCodes())
        values << code + QLatin1Char('=') + instrument.application().value(wireCode(code));
    return values;
}

struct Window {
    SimRig sim;
    ParameterPages pages{sim.link};
    QStringList preview; // the rows the load showed: code, now, in the file
    QTimer answer;
    // Answers the load's preview with "Load" (or Cancel) once it shows, keeping its rows.
    void answerPreview(bool load)
    {
        QObject::connect(&answer, &QTimer::timeout, [this, load] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            answer.stop();
            auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblChanges"));
            for (int row = 0; row < table->rowCount(); ++row)
                preview << table->item(row, 1)->text() + ' ' + table->item(row, 2)->text() + ' ' + table->item(row, 3)->text();
            if (load)
                dialog->findChild<QPushButton*>(QStringLiteral("cmdLoad"))->click();
            else
                static_cast<QDialog*>(dialog)->reject();
        });
        answer.start(20);
    }
};

} // namespace

class SettingsFilesTest : public QObject {
    Q_OBJECT
private slots:
    void windowFile_restoresWithTheCli();
    void cliBackup_loadsInTheWindowWithAPreview();
    void fileThatIsNoBackup_isRefusedBeforeAnythingIsSent_data();
    void fileThatIsNoBackup_isRefusedBeforeAnythingIsSent();
};

void SettingsFilesTest::windowFile_restoresWithTheCli()
{
    QTemporaryDir dir;
    Window window;
    changeSettings(window.sim.instrument.application());
    window.sim.prompter.fileAnswers.enqueue(dir.filePath("window.txt"));
    window.pages.settingsFiles().saveToFile();
    QCOMPARE(window.sim.prompter.messages, QStringList{"27 settings of the QUARVEL saved to " + dir.filePath("window.txt") + "."});

    SimRig other;
    QVERIFY(settingsOf(other.instrument) != settingsOf(window.sim.instrument));
    QCOMPARE(runCli(other.port, {QStringLiteral("restore"), dir.filePath("window.txt")}), 0);
    QCOMPARE(settingsOf(other.instrument), settingsOf(window.sim.instrument));
}

void SettingsFilesTest::cliBackup_loadsInTheWindowWithAPreview()
{
    QTemporaryDir dir;
    SimRig source;
    changeSettings(source.instrument.application());
    QCOMPARE(runCli(source.port, {QStringLiteral("backup"), dir.filePath("cli.txt")}), 0);

    Window window;
    window.sim.prompter.fileAnswers.enqueue(dir.filePath("cli.txt"));
    window.answerPreview(true);
    window.pages.settingsFiles().loadFromFile();
    QCOMPARE(window.preview, (QStringList{"DRA \"10\" \"47\"", "DCY 9 \"0\" \"1200\"", "sDM1 \"QUARVEL\" \"  Club 7 \""}));
    QCOMPARE(settingsOf(window.sim.instrument), settingsOf(source.instrument));
    QCOMPARE(window.pages.binding().parameter(23)->text(), QStringLiteral("  Club 7 ")); // the fields show it
    QVERIFY(window.pages.binding().dirty()); // so Exit asks
    QVERIFY(!window.sim.port.written().contains("ESV")); // not saved to the EEPROM
    QCOMPARE(window.sim.prompter.messages.size(), 1);
    QVERIFY2(window.sim.prompter.messages[0].startsWith("27 settings loaded from"), qPrintable(window.sim.prompter.messages[0]));
}

void SettingsFilesTest::fileThatIsNoBackup_isRefusedBeforeAnythingIsSent_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a record file") << QByteArray("Time,Voltage\n0,4.8\n") << "not a settings backup";
    QTest::newRow("a setting given twice") << QByteArray("# Quarvel settings backup\nDRA=10\n\nDRA=12\n")
                                           << "line 4: DRA is given twice";
    QTest::newRow("a code that is no setting") << QByteArray("# Quarvel settings backup\nRNV=5\n")
                                               << "line 2: \"RNV\" is not a setting code";
}

void SettingsFilesTest::fileThatIsNoBackup_isRefusedBeforeAnythingIsSent()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    writeFile(dir.filePath("in.txt"), file);
    Window window;
    window.sim.prompter.fileAnswers.enqueue(dir.filePath("in.txt"));
    window.answerPreview(false);
    window.pages.settingsFiles().loadFromFile();
    QCOMPARE(window.preview, QStringList()); // refused before any preview
    QCOMPARE(window.sim.prompter.messages.size(), 1);
    QVERIFY2(window.sim.prompter.messages[0].contains(reason), qPrintable(window.sim.prompter.messages[0]));
    QCOMPARE(window.sim.port.written(), QByteArray());
    QVERIFY(!window.pages.binding().dirty());
}

QTEST_MAIN(SettingsFilesTest)
#include "SettingsFilesTest.moc"
