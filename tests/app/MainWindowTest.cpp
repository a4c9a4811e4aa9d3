// The main window against the virtual instrument in this process (or a fake port where the port
// itself has to fail or is not used): start-up, tabs, menu, and that every field can be reached.
#include "app/MainWindow.h"
#include "link/PortArrivalWatcher.h"
#include "link/PortSettingsFile.h"
#include "link/ui/LookingDialog.h"
#include "link/ui/PortOffer.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/ProgrammerTexts.h"
#include "programmer/RunningLoaderNote.h"
#include "programmer/HexImageFile.h"
#include "sim/BootLoader.h"
#include "support/TestFiles.h"
#include "params/ui/EepromOperations.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParameterPages.h"
#include "recorder/StoredRecordDownload.h"
#include "recorder/BatteryHistory.h"
#include "recorder/ui/ChartLimitLines.h"
#include "recorder/ui/ChartTools.h"
#include "recorder/ui/HistoryView.h"
#include "recorder/ui/RecordTab.h"
#include "recorder/ui/ReportHistoryControls.h"
#include "support/FakeSerialPort.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace quarvel;
using namespace quarvel::test;

namespace {

constexpr int kProgram = 4, kRecord = 5; // the tabs "Program" and "Record"

// The 32 reads of a reload, as they go out.
const QByteArray kReload = "1DVA\r1DVA\r1DRA\r1DHA\r1DWA\r1DLA\r1DVD\r1DVD\r1DLB\r1DWB\r1DHB\r1DRB\r1DVB\r"
                           "1DCY 0\r1DCY 1\r1DCY 2\r1DCY 3\r1DCY 4\r1DCY 5\r1DCY 6\r1DCY 7\r1DCY 8\r1DCY 9\r"
                           "1DDT\r1DM1\r1DM2\r1DVC\r1DMD\r1DRD\r1RNV\r1RLV\r1RIM\r";

template <typename Port>
struct Window {
    QTemporaryDir dir;
    MainWindow window;
    Window(Port& port, Prompter& prompter) : window(port, prompter, dir.path()) {}
    QLineEdit* param(int i) { return window.findChild<QLineEdit*>(QStringLiteral("txtParam_%1").arg(i)); }
    QAction* menu(const char* name) { return window.menuBar()->findChild<QAction*>(QLatin1String(name)); }
};

struct Rig : SimRig {
    Window<sim::SimulatedSerialPort> w{port, prompter};
};

// On a port without an instrument.
struct Bare {
    FakeSerialPort port;
    ScriptedPrompter prompter;
    Window<FakeSerialPort> w{port, prompter};
};

// Adapters plugged in while the window runs: devices and com<N> links made in the window's
// folders, and a port that answers as a Quarvel only on the port numbers in `answering`.
struct Plugging : Bare {
    QSet<int> answering;
    const QString folder = QFileInfo(w.dir.path()).canonicalFilePath();
    Plugging()
    {
        port.setResponder([this](const QByteArray& line) -> QByteArray {
            if (!answering.contains(port.portNumber()))
                return {};
            return line + QByteArray(line == "1DID\r" ? "Quarvel V1.2\r\n" : "1\r\n");
        });
        QDir(folder).mkpath("dev");
        w.window.arrivals().setDeviceFolder(folder + "/dev"); // stands for /dev
    }
    void plugIn(const QString& device, const QString& link = {})
    {
        writeFile(device, {});
        if (!link.isEmpty())
            QVERIFY(QFile::link(device, folder + "/" + link));
    }
    QString lineUnderTabs() { return w.window.findChild<QLabel*>("lblConnection")->text(); }
    // The start-up on a port where nothing answers yet; `user` acts once the failure view shows.
    void startUp(const std::function<void(LookingDialog&)>& user)
    {
        QTimer view;
        bool acted = false;
        QObject::connect(&view, &QTimer::timeout, [&] {
            auto* looking = qobject_cast<LookingDialog*>(QApplication::activeModalWidget());
            if (!acted && looking && looking->failureShown()) {
                acted = true;
                user(*looking);
            }
        });
        view.start(20);
        w.window.startUp();
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUp_wakesIdentifiesAndReadsEverySetting();
    void startUpWithoutApplication_findsARunningLoaderWhenAsked();
    void failureView_asksPortOneWhenItAppears_andOnlyOffersAnotherPort();
    void failureView_asksTheRememberedAdapterWhenItAppears();
    void withoutInstrument_aPortThatAppearsIsAskedOnlyWhenTaken();
    void programmingMode_disablesEveryApplicationExchange();
    void failedVerify_asksBeforeTheApplicationIsStarted();
    void declinedProgramTab_afterASession_keepsTheCommSpeed();
    void portThatCannotBeReopened_afterProgramTab_isExplained();
    void leavingRecordTab_suspendsAndComingBackResumes();
    void exit_asksOnlyWhenThereAreUnsavedChanges();
    void menuWindows_areNeverOpenedTwice();
    void everyField_isNamedByItsLabel();
    void everyField_takesTheFocusWhenClicked();
    void reports_areKeptInHistory_andLimitsFollowTheFields();
};

void MainWindowTest::startUp_wakesIdentifiesAndReadsEverySetting()
{
    Rig r;
    r.w.window.startUp();
    QCOMPARE(r.port.written(), "\r\r1DID\r" + kReload);
    QCOMPARE(r.port.settingsAtWrite().first(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(r.w.param(1)->text(), QStringLiteral("10"));
    QCOMPARE(r.w.param(11)->text(), QStringLiteral("Flight pack")); // without the line end after it
    QCOMPARE(r.w.param(15)->text(), QStringLiteral("1750"));        // "Pos 4" is list entry 3
    QVERIFY(!r.w.window.dirty());
    QCOMPARE(r.prompter.messages, QStringList());

    r.w.window.parameters().binding().setDirty(true);
    r.port.clearWritten();
    r.w.menu("mnuRefresh")->trigger();
    QCOMPARE(r.port.written(), kReload);
    QVERIFY(r.w.window.dirty()); // a reload is no save
}

// A firmware update that stopped part-way leaves only the boot loader to answer.
void MainWindowTest::startUpWithoutApplication_findsARunningLoaderWhenAsked()
{
    Rig r;
    r.instrument.startInBootLoader();
    QByteArray sentBeforeAsking;
    QTimer asker; // the user, once the failure view shows
    connect(&asker, &QTimer::timeout, [&] {
        auto* looking = qobject_cast<LookingDialog*>(QApplication::activeModalWidget());
        if (!looking || !looking->failureShown())
            return;
        asker.stop();
        sentBeforeAsking = r.port.written();
        looking->findChild<QPushButton*>(QStringLiteral("cmdFindLoader"))->click();
    });
    asker.start(20);
    r.prompter.yesNoAnswers.enqueue(true); // go to the Program tab
    r.w.window.startUp();

    QVERIFY(!sentBeforeAsking.contains('S')); // the start-up alone asks no boot loader
    QCOMPARE(r.port.written().mid(sentBeforeAsking.size(), 2), QByteArray("SV"));
    QCOMPARE(r.prompter.questions.size(), 1);
    QVERIFY(r.prompter.questions.first().startsWith("The QUARVEL's boot loader is running"));
    QCOMPARE(r.w.window.tabs()->currentIndex(), kProgram);
    QCOMPARE(r.w.window.findChild<QLineEdit*>(QStringLiteral("txtProgrammer"))->text(), QStringLiteral("QRVBOOT"));
    QVERIFY(r.w.window.bootLoader().active());
}

// The instrument plugged in after the start: its com1 link's adapter appears.
void MainWindowTest::failureView_asksPortOneWhenItAppears_andOnlyOffersAnotherPort()
{
    Plugging p;
    const QString acm = p.folder + "/ttyACM0";
    QVERIFY(QFile::link(acm, p.folder + "/com1")); // port 1, not plugged in yet
    QByteArray sentMeanwhile = "not looked at";
    QString offered;
    p.startUp([&](LookingDialog& looking) {
        p.port.clearWrites();
        // Port 1's device only without the link: another port.
        p.plugIn(p.folder + "/dev/ttyUSB0");
        auto* offer = looking.findChild<PortOffer*>();
        QTRY_VERIFY(offer->isVisible());
        offered = offer->findChild<QLabel*>()->text();
        sentMeanwhile = p.port.written();
        p.answering << 1;
        p.plugIn(acm);
    });
    QCOMPARE(offered, "A serial port appeared: " + p.folder + "/dev/ttyUSB0. Look for the QUARVEL there?");
    QCOMPARE(sentMeanwhile, QByteArray());
    QCOMPARE(p.port.portNumber(), 1);
    QCOMPARE(p.lineUnderTabs(), QString("QUARVEL connected (port 1, fake device): Quarvel V1.2. Settings read."));
    QCOMPARE(p.w.param(1)->text(), QStringLiteral("1")); // read from it
}

void MainWindowTest::failureView_asksTheRememberedAdapterWhenItAppears()
{
    Plugging p;
    const QString adapter = p.folder + "/ttyACM3";
    QVERIFY(PortSettingsFile(p.folder).rememberDevice(adapter, QString()));
    p.startUp([&](LookingDialog&) {
        p.answering << 4;
        p.plugIn(adapter, "com4");
    });
    QCOMPARE(p.port.portNumber(), 4);
    QVERIFY2(p.lineUnderTabs().startsWith("QUARVEL connected (port 4, "), qPrintable(p.lineUnderTabs()));
}

// After the failure view's OK: a port that is neither port 1 nor the remembered adapter.
void MainWindowTest::withoutInstrument_aPortThatAppearsIsAskedOnlyWhenTaken()
{
    Plugging p;
    p.startUp([](LookingDialog& looking) { looking.findChild<QPushButton*>("cmdOK")->click(); });
    p.port.clearWrites();
    p.answering << 3;
    p.plugIn(p.folder + "/ttyOther", "com3");
    auto* offer = p.w.window.statusBar()->findChild<PortOffer*>();
    QTRY_VERIFY(offer->isVisibleTo(&p.w.window));
    QTest::qWait(2 * PortArrivalWatcher::kLookMs);
    QCOMPARE(p.port.written(), QByteArray());
    QCOMPARE(p.port.portNumber(), 1);

    offer->findChild<QPushButton*>()->click();
    QTRY_VERIFY2_WITH_TIMEOUT(p.lineUnderTabs().endsWith("Settings read."), qPrintable(p.lineUnderTabs()), 20000);
    QCOMPARE(p.port.portNumber(), 3);
    QVERIFY(p.port.written().startsWith("\r\r1DID\r"));
    QVERIFY(!offer->isVisibleTo(&p.w.window));
}

void MainWindowTest::programmingMode_disablesEveryApplicationExchange()
{
    Rig r;
    r.prompter.yesNoAnswers.enqueue(true);
    r.w.window.tabs()->setCurrentIndex(kProgram);
    QAction* refresh = r.w.menu("mnuRefresh");
    QVERIFY(!refresh->isEnabled());
    for (int tab : {0, 1, 2, 3, kRecord})
        QVERIFY(!r.w.window.tabs()->widget(tab)->isEnabled());

    // Nothing reaches the boot loader, even when asked for directly.
    r.port.clearWritten();
    refresh->trigger();
    r.w.window.parameters().binding().reloadParameters();
    r.w.window.parameters().binding().updateReport();
    r.w.window.parameters().eeprom().loadFromEeprom();
    r.w.window.parameters().eeprom().saveToEeprom();
    r.w.window.link().setValue("1", "DRA", "10");
    StoredRecordDownload::fetch(r.w.window.link());
    QCOMPARE(r.port.written(), QByteArray());

    // Leaving the tab restarts the application, which can be used again.
    const int leaveAt = r.port.settingsAtWrite().size();
    r.w.window.tabs()->setCurrentIndex(0);
    QCOMPARE(r.port.written(), "G" + kReload);
    QCOMPARE(r.port.settingsAtWrite().value(leaveAt), QStringLiteral("19200,n,8,1"));
    QCOMPARE(r.w.param(1)->text(), QStringLiteral("10"));
    QVERIFY(refresh->isEnabled());
    for (int tab : {0, 1, 2, 3, kRecord})
        QVERIFY(r.w.window.tabs()->widget(tab)->isEnabled());
}

void MainWindowTest::failedVerify_asksBeforeTheApplicationIsStarted()
{
    Rig r;
    r.instrument.setDecodeLineSpeed(true); // what is sent at another speed reaches it as a UART reads it
    r.prompter.yesNoAnswers.enqueue(true);
    r.w.window.tabs()->setCurrentIndex(kProgram);
    auto* loader = static_cast<sim::BootLoader*>(r.instrument.bootLoader());
    loader->faults().stuckAddress = 1; // keeps its erased value
    const QString image = r.w.dir.filePath(QStringLiteral("app.hex"));
    writeFile(image, intelHexText(QByteArray("\x0c\x94\x10\x20")));
    r.w.window.findChild<QLineEdit*>(QStringLiteral("txtFileName"))->setText(image);
    r.w.window.findChild<QPushButton*>(QStringLiteral("cmdProgramFlash"))->click();
    r.prompter.yesNoAnswers.enqueue(false); // stop at the difference
    r.w.window.findChild<QPushButton*>(QStringLiteral("cmdVerifyFlash"))->click();
    r.port.clearWritten();

    r.prompter.yesNoAnswers.enqueue(false); // the question's default: keep the loader
    r.w.window.tabs()->setCurrentIndex(0);
    QCOMPARE(r.prompter.questions.last(), MainWindow::kStartUnverifiedQuestion);
    QCOMPARE(r.prompter.messages.last(), kUnverifiedApplicationMessage);
    QCOMPARE(r.w.window.tabs()->currentIndex(), kProgram);
    QCOMPARE(r.port.written(), QByteArray());
    QVERIFY(r.w.window.bootLoader().active());

    // A window closed now leaves the loader running; the next start asks it at its own speed.
    Window<sim::SimulatedSerialPort> next(r.port, r.prompter);
    QVERIFY(QFile::copy(r.w.dir.filePath(RunningLoaderNote::kFileName), next.dir.filePath(RunningLoaderNote::kFileName)));
    r.prompter.yesNoAnswers.enqueue(true); // go to the Program tab
    r.port.clearWritten();
    const qsizetype before = r.port.settingsAtWrite().size();
    QTimer closer; // a search at the application's speed would end in its failure view
    connect(&closer, &QTimer::timeout, [] {
        if (auto* looking = qobject_cast<LookingDialog*>(QApplication::activeModalWidget()); looking && looking->failureShown())
            looking->accept();
    });
    closer.start(50);
    next.window.startUp();
    QCOMPARE(r.port.settingsAtWrite().mid(before).count(QStringLiteral("9600,n,8,1")), 0);
    QVERIFY(r.port.written().startsWith("SSVvsrF"));
    QCOMPARE(next.window.tabs()->currentIndex(), kProgram);
    QCOMPARE(loader->fuseBits(), quint8(0x8E));

    // Programmed and verified, the application is started without a question.
    loader->faults().stuckAddress = -1;
    next.window.findChild<QLineEdit*>(QStringLiteral("txtFileName"))->setText(image);
    next.window.findChild<QPushButton*>(QStringLiteral("cmdProgramFlash"))->click();
    next.window.findChild<QPushButton*>(QStringLiteral("cmdVerifyFlash"))->click();
    const qsizetype asked = r.prompter.questions.size();
    r.port.clearWritten();
    next.window.tabs()->setCurrentIndex(0);
    QCOMPARE(r.prompter.questions.size(), asked);
    QVERIFY(r.port.written().startsWith("G"));
    QCOMPARE(r.instrument.mode(), sim::VirtualInstrument::Mode::Application);
}

void MainWindowTest::declinedProgramTab_afterASession_keepsTheCommSpeed()
{
    Rig r;
    r.prompter.yesNoAnswers << true << false;
    r.w.window.tabs()->setCurrentIndex(kProgram);
    r.w.window.tabs()->setCurrentIndex(0);
    QCOMPARE(r.port.settings(), QStringLiteral("9600,n,8,1"));
    r.port.setSettings(QStringLiteral("57600,n,8,1")); // as "Comm" applies a new speed
    r.port.clearWritten();

    r.w.window.tabs()->setCurrentIndex(kProgram); // and No
    QCOMPARE(r.w.window.tabs()->currentIndex(), 0);
    QVERIFY(r.port.written().startsWith("G1DVA\r"));
    QCOMPARE(r.port.settings(), QStringLiteral("57600,n,8,1"));
    QVERIFY(r.port.isOpen());
}

void MainWindowTest::portThatCannotBeReopened_afterProgramTab_isExplained()
{
    Bare b;
    b.port.open();
    b.prompter.yesNoAnswers.enqueue(true);
    b.w.window.tabs()->setCurrentIndex(kProgram); // no loader answers
    b.port.failNextOpen(QStringLiteral("Device or resource busy (/dev/ttyUSB0)"));
    b.w.window.tabs()->setCurrentIndex(0);
    QCOMPARE(b.prompter.messages, QStringList{"Could not locate QUARVEL, please try a different comm port. Make sure "
                                            "QUARVEL is connected to a valid comm port.\n\n"
                                            "Device or resource busy (/dev/ttyUSB0)"});
}

void MainWindowTest::leavingRecordTab_suspendsAndComingBackResumes()
{
    Rig r;
    r.w.window.tabs()->setCurrentIndex(kRecord);
    auto* record = r.w.window.findChild<RecordTab*>();
    r.w.window.findChild<QLineEdit*>(QStringLiteral("txtStime"))->setText(QStringLiteral("0.1"));
    r.w.window.findChild<QPushButton*>(QStringLiteral("cmdAcquire"))->click();
    QTRY_VERIFY(r.port.written().contains("1RNV\r")); // sampling
    r.w.window.tabs()->setCurrentIndex(3);
    QCOMPARE(record->acquisition().state(), LiveAcquisition::State::Suspended);
    r.w.window.tabs()->setCurrentIndex(kRecord);
    QCOMPARE(record->acquisition().state(), LiveAcquisition::State::Acquiring); // the same record goes on
}

void MainWindowTest::exit_asksOnlyWhenThereAreUnsavedChanges()
{
    Bare b;
    b.w.window.show();
    b.w.window.parameters().binding().setDirty(true);
    b.prompter.yesNoAnswers.enqueue(false);
    b.w.menu("mnuExit")->trigger();
    QVERIFY(b.w.window.isVisible() && b.w.window.dirty()); // No: nothing changes
    b.w.window.parameters().binding().setDirty(false);
    b.w.menu("mnuExit")->trigger();
    QVERIFY(!b.w.window.isVisible());
    QCOMPARE(b.prompter.questions, // asked the first time only
             QStringList{"You have not saved your changes to QUARVEL, do you still want to exit?"});
}

void MainWindowTest::menuWindows_areNeverOpenedTwice()
{
    Bare b;
    b.w.window.show();
    for (const char* item : {"mnuAbout", "mnuComm", "mnuAbout", "mnuComm"})
        b.w.menu(item)->trigger();
    QStringList titles;
    for (QDialog* dialog : b.w.window.findChildren<QDialog*>())
        titles << dialog->windowTitle() + (dialog->isVisible() ? "" : " (hidden)");
    titles.sort();
    QCOMPARE(titles, (QStringList{"About...", "Communications..."}));
}

void MainWindowTest::everyField_isNamedByItsLabel()
{
    Bare b;
    const auto fields = b.w.window.findChildren<QLineEdit*>();
    QVERIFY(fields.size() >= 28 + 3 + 2 + 7);
    QHash<QWidget*, QLabel*> buddies;
    for (QLabel* label : b.w.window.findChildren<QLabel*>())
        buddies.insert(label->buddy(), label);
    for (QLineEdit* field : fields) {
        QLabel* label = buddies.value(field);
        const QString name = label ? label->text().remove('&') : QStringLiteral("Program file name"); // a button's
        QCOMPARE(field->accessibleName(), name);
        QVERIFY2(!label || label->isVisibleTo(&b.w.window) == field->isVisibleTo(&b.w.window), qPrintable(name));
    }
}

void MainWindowTest::everyField_takesTheFocusWhenClicked()
{
    Bare b;
    b.w.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&b.w.window));
    QTabWidget* tabs = b.w.window.tabs();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        {
            const QSignalBlocker onlyShown(tabs); // what a change of tab does is not the point here
            tabs->setCurrentIndex(tab);
        }
        for (QLineEdit* field : tabs->widget(tab)->findChildren<QLineEdit*>()) {
            tabs->setFocus(); // away from every field, or a page's first field would have it already
            QTest::mouseClick(b.w.window.windowHandle(), Qt::LeftButton, {}, field->mapTo(&b.w.window, field->rect().center()));
            QVERIFY2(field->hasFocus(), qPrintable(field->objectName()));
        }
    }
}

void MainWindowTest::reports_areKeptInHistory_andLimitsFollowTheFields()
{
    Rig r;
    r.w.window.startUp();
    const QString history = r.w.dir.filePath("data/battery-history.csv");
    r.w.window.setHistoryPath(history);
    ReportHistoryControls* keep = r.w.window.reportHistory();
    keep->packLabel()->setText("Rx 1");
    keep->profile()->setCurrentIndex(1);
    keep->keep()->setChecked(true);
    QPushButton* update = r.w.window.findChild<QPushButton*>("cmdUpdate");
    update->click();
    update->click();
    const BatteryHistory::Contents kept = BatteryHistory::read(history);
    QCOMPARE(kept.rows.size(), 2);
    QCOMPARE(kept.rows[1].instrument, QString("Quarvel V1.2 (virtual instrument)"));
    QCOMPARE(kept.rows[1].pack, QString("Rx 1"));
    QCOMPARE(kept.rows[1].profile, QString("Flight pack"));
    QCOMPARE(kept.rows[1].noLoad, BatteryHistory::valueText(r.w.window.findChild<QLineEdit*>("txtR_0")->text()));
    QVERIFY(r.prompter.messages.isEmpty());
    // Unplugged: the fields still hold the last values, which are no report read now.
    r.port.close();
    update->click();
    QCOMPARE(BatteryHistory::read(history).rows.size(), 2);
    QVERIFY2(r.prompter.messages.join('\n').contains("Nothing was kept"), qPrintable(r.prompter.messages.join('\n')));
    QVERIFY(keep->status().startsWith("Not kept"));
    r.port.open();

    r.w.menu("mnuHistory")->trigger();
    auto* view = r.w.window.findChild<HistoryView*>();
    QVERIFY(view && view->isVisible());
    QCOMPARE(view->packs()->currentText(), QString("Rx 1"));
    QCOMPARE(view->table()->rowCount(), 2);

    // The pack label, the profile and the choice to keep are there in the next session.
    MainWindow next(r.port, r.prompter, r.w.dir.path());
    QCOMPARE(next.reportHistory()->packLabel()->text(), QString("Rx 1"));
    QCOMPARE(next.reportHistory()->profile()->currentIndex(), 1);
    QVERIFY(next.reportHistory()->keep()->isChecked());

    ChartTools* tools = r.w.window.recordTab()->chartTools();
    tools->limitsChoice()->setCurrentIndex(ChartTools::ProfileA);
    r.w.param(3)->setText("7.1"); // "Warning Voltage Level" of "Profile A"
    r.w.param(8)->setText("6.6"); // and of "Profile B"
    QCOMPARE(tools->limitLines().limits().warning, std::optional<double>(7.1));
    tools->limitsChoice()->setCurrentIndex(ChartTools::ProfileB);
    QCOMPARE(tools->limitLines().limits().warning, std::optional<double>(6.6));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
