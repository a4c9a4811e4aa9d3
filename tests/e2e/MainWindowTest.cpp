// The program against the virtual instrument on a pseudo-terminal, through the real port adapter.
#include "DeviceDiscovery.h"
#include "LookingDialog.h"
#include "MainWindow.h"
#include "ParameterBinding.h"
#include "ParameterPages.h"
#include "ParameterTable.h"
#include "QtSerialPortAdapter.h"
#include "RecordModel.h"
#include "RecordTab.h"
#include "RecordingPort.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "SimProcess.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace quarvel;
using namespace quarvel::test;

namespace {

// The expected reads of one reload, in order.
QStringList reloadLines()
{
    QStringList lines{QStringLiteral("1DVA")};
    for (const FieldDefinition& f : parameterFields())
        lines << QStringLiteral("1") + (f.code.startsWith('s') ? f.code.mid(1) : f.code);
    for (const FieldDefinition& f : reportFields())
        lines << QStringLiteral("1") + f.code;
    return lines;
}

bool endsWith(const QStringList& lines, const QStringList& tail)
{
    return lines.size() >= tail.size() && lines.mid(lines.size() - tail.size()) == tail;
}

// Everything a test needs: the instrument, the recorded port and the window.
struct Bench {
    explicit Bench(const QStringList& simOptions = {})
        : sim(simOptions), adapter(sim.configFolder()), port(adapter),
          window(std::make_unique<MainWindow>(port, prompter, sim.configFolder()))
    {
    }
    SimProcess sim;
    QtSerialPortAdapter adapter;
    RecordingPort port;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> window;

    // Starts up, shows the window and puts the focus into parameter field i.
    QLineEdit* startWithFocusIn(int i)
    {
        window->startUp();
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            return nullptr;
        QLineEdit* field = param(i);
        field->setFocus();
        return QTest::qWaitFor([&] { return field->hasFocus(); }) ? field : nullptr;
    }
    QLineEdit* param(int i) { return window->findChild<QLineEdit*>(QStringLiteral("txtParam_%1").arg(i)); }
    QLineEdit* report(int j) { return window->findChild<QLineEdit*>(QStringLiteral("txtR_%1").arg(j)); }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUp_wakesIdentifiesAndReadsEverySetting();
    void startUp_withoutInstrument_reportsAndOpensEmpty();
    void typedValue_isWrittenOnEnterAndOnLeaving();
    void rejectedWrite_warnsAndKeepsText();
    void refreshAndTabChange_rereadWithoutClearingDirty();
    void declinedProgramTab_sendsLeaveCommandAndKeepsSettings();
    void programTab_switchesToBootLoaderAndBack();
    void recordTab_afterProgramTab_isPreparedAtTheOldSpeed();
    void leavingRecordTab_suspendsAcquisition();
    void exit_asksOnlyWhenThereAreUnsavedChanges();
    void about_isNeverOpenedTwice();
    void comm_isNeverOpenedTwice();
    void vanishingInstrument_leavesFieldsEmptyWithoutHanging();
};

void MainWindowTest::startUp_wakesIdentifiesAndReadsEverySetting()
{
    Bench b;
    QVERIFY2(b.sim.started(), qPrintable(b.sim.error()));
    b.window->startUp();

    QCOMPARE(b.port.writes.value(0), QByteArray("\r"));
    QCOMPARE(b.port.writes.value(1), QByteArray("\r"));
    QStringList expected{QString(), QString(), QStringLiteral("1DID")};
    expected << reloadLines();
    QCOMPARE(b.port.lines(), expected);
    QCOMPARE(b.port.settingsAtWrite.first(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(b.param(1)->text(), QStringLiteral("10"));             // load resistance A
    QCOMPARE(b.param(11)->text(), QStringLiteral("Flight pack\r\n")); // a text value comes whole
    QCOMPARE(b.param(15)->text(), QStringLiteral("1750"));           // "Pos 4" is list entry 3
    QVERIFY(!b.report(0)->text().isEmpty());
    QVERIFY(!b.window->dirty());
    QVERIFY(b.prompter.messages.isEmpty());
}

void MainWindowTest::startUp_withoutInstrument_reportsAndOpensEmpty()
{
    Bench b({QStringLiteral("--silent")});
    QVERIFY2(b.sim.started(), qPrintable(b.sim.error()));
    bool failureSeen = false;
    QTimer okClicker;
    connect(&okClicker, &QTimer::timeout, [&] {
        auto* looking = qobject_cast<LookingDialog*>(QApplication::activeModalWidget());
        if (looking && looking->failureShown()) {
            failureSeen = looking->height() > 100; // grown to show the failure text
            looking->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }
    });
    okClicker.start(100);
    b.window->startUp();

    QVERIFY(failureSeen);
    QCOMPARE(b.port.lines().count(QStringLiteral("1DID")), kMaxIdentifyAttempts);
    for (int i = 0; i < kParameterCount; ++i)
        QVERIFY2(b.param(i)->text().isEmpty(), qPrintable(QString::number(i)));
    for (int j = 0; j < kReportCount; ++j)
        QVERIFY(b.report(j)->text().isEmpty());
    QVERIFY(!b.window->dirty());
}

void MainWindowTest::typedValue_isWrittenOnEnterAndOnLeaving()
{
    Bench b;
    QLineEdit* resistance = b.startWithFocusIn(1);
    QVERIFY(resistance);
    b.port.writes.clear();

    resistance->selectAll();
    QTest::keyClicks(resistance, QStringLiteral("22"));
    QVERIFY(b.window->dirty());
    QTest::keyClick(resistance, Qt::Key_Return);
    QCOMPARE(b.port.lines(), QStringList{QStringLiteral("1DRA 22")});
    QTest::keyClick(resistance, Qt::Key_Tab); // leaving the field writes it again
    QCOMPARE(b.port.lines(), (QStringList{QStringLiteral("1DRA 22"), QStringLiteral("1DRA 22")}));
    QVERIFY(b.param(2)->hasFocus());
    QVERIFY(b.prompter.messages.isEmpty());

    b.port.writes.clear();
    b.window->parameters().binding().reloadParameters();
    QCOMPARE(b.param(1)->text(), QStringLiteral("22")); // the instrument took it
}

void MainWindowTest::rejectedWrite_warnsAndKeepsText()
{
    Bench b;
    QLineEdit* resistance = b.startWithFocusIn(1);
    QVERIFY(resistance);
    resistance->selectAll();
    QTest::keyClicks(resistance, QStringLiteral("3")); // below the instrument's 5 ohms
    QTest::keyClick(resistance, Qt::Key_Return);

    QCOMPARE(b.prompter.messages, QStringList{SerialLink::kRejectedMessage});
    QCOMPARE(resistance->text(), QStringLiteral("3"));
    QVERIFY(b.window->dirty());
}

void MainWindowTest::refreshAndTabChange_rereadWithoutClearingDirty()
{
    Bench b;
    b.window->startUp();
    b.window->show();
    QLineEdit* name = b.param(0);
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Escape); // a character that changes nothing still counts
    QVERIFY(b.window->dirty());
    name->setText(QStringLiteral("unsent edit"));

    b.port.writes.clear();
    b.window->menuBar()->findChild<QAction*>(QStringLiteral("mnuRefresh"))->trigger();
    QCOMPARE(b.port.lines(), reloadLines());
    QCOMPARE(name->text(), QStringLiteral("Receiver\r\n"));
    QVERIFY(b.window->dirty());

    b.port.writes.clear();
    b.window->tabs()->setCurrentIndex(3); // "Misc."
    QVERIFY(endsWith(b.port.lines(), reloadLines()));
    QCOMPARE(b.port.lines().count(QStringLiteral("1DVA")), 2);
    QVERIFY(b.window->dirty());
}

void MainWindowTest::declinedProgramTab_sendsLeaveCommandAndKeepsSettings()
{
    Bench b;
    b.window->startUp();
    b.prompter.yesNoAnswers.enqueue(false);
    b.port.writes.clear();

    b.window->tabs()->setCurrentIndex(kProgramTab);

    QCOMPARE(b.window->tabs()->currentIndex(), 0);
    QCOMPARE(b.prompter.questions, QStringList{MainWindow::kEnterProgrammingQuestion});
    QCOMPARE(b.port.writes.value(0), QByteArray("G"));
    QCOMPARE(b.adapter.settings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(b.adapter.isOpen());
    QVERIFY(b.window->savePortSettings().isEmpty());
    // Back on "Profile A": a reload follows, and the instrument still answers.
    QCOMPARE(b.port.lines(1), reloadLines());
    QCOMPARE(b.param(1)->text(), QStringLiteral("10"));
}

void MainWindowTest::programTab_switchesToBootLoaderAndBack()
{
    Bench b;
    b.window->startUp();
    b.prompter.yesNoAnswers.enqueue(true);
    b.port.writes.clear();
    b.port.settingsAtWrite.clear();

    b.window->tabs()->setCurrentIndex(kProgramTab);
    QCOMPARE(b.port.writes.value(0), QByteArray("1pgm\r"));
    QCOMPARE(b.adapter.settings(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(b.window->savePortSettings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(!b.window->findChild<QLineEdit*>(QStringLiteral("txtProgrammer"))->text().isEmpty());
    QCOMPARE(b.window->findChild<QLineEdit*>(QStringLiteral("txtSignature"))->text(), QStringLiteral("1E 93 7 "));

    const int leaveAt = b.port.writes.size();
    b.window->tabs()->setCurrentIndex(1);
    QCOMPARE(b.port.writes.value(leaveAt), QByteArray("G"));
    QCOMPARE(b.port.settingsAtWrite.value(leaveAt), QStringLiteral("19200,n,8,1"));
    QCOMPARE(b.adapter.settings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(b.adapter.isOpen());
    // The application answers again at the old speed: the reload fills "Profile B".
    QCOMPARE(b.port.lines(leaveAt + 1), reloadLines());
    QCOMPARE(b.param(10)->text(), QStringLiteral("7.5"));
}

void MainWindowTest::recordTab_afterProgramTab_isPreparedAtTheOldSpeed()
{
    Bench b;
    b.window->startUp();
    b.prompter.yesNoAnswers.enqueue(true);
    b.window->tabs()->setCurrentIndex(kProgramTab);
    b.window->findChild<QLineEdit*>(QStringLiteral("txtStime"))->setText(QStringLiteral("30"));
    b.window->findChild<QLineEdit*>(QStringLiteral("txtTtime"))->setText(QStringLiteral("1"));
    const int leaveAt = b.port.writes.size();

    b.window->tabs()->setCurrentIndex(kRecordTab);

    QCOMPARE(b.port.writes.value(leaveAt), QByteArray("G"));
    QCOMPARE(b.port.settingsAtWrite.value(leaveAt), QStringLiteral("19200,n,8,1"));
    QCOMPARE(b.port.writes.size(), leaveAt + 1); // entering "Record" sends nothing
    QCOMPARE(b.adapter.settings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(b.adapter.isOpen());
    RecordModel& record = b.window->findChild<RecordTab*>()->model();
    QCOMPARE(record.pointCount(), 2);
    QCOMPARE(record.label(2), QStringLiteral("0.5"));
    QVERIFY(!record.value(1)); // nothing recorded yet: a gap
    QCOMPARE(b.window->link().getValue("1", "DRA"), QStringLiteral("10")); // the application answers
}

void MainWindowTest::leavingRecordTab_suspendsAcquisition()
{
    Bench b;
    b.window->startUp();
    b.window->tabs()->setCurrentIndex(kRecordTab);
    auto* tab = b.window->findChild<RecordTab*>();
    b.window->findChild<QLineEdit*>(QStringLiteral("txtStime"))->setText(QStringLiteral("0.1"));
    auto* acquire = b.window->findChild<QPushButton*>(QStringLiteral("cmdAcquire"));
    acquire->click();
    QCOMPARE(tab->acquisition(), RecordTab::Acquisition::Running);
    QTRY_VERIFY(tab->model().cursor() > 2);

    b.window->tabs()->setCurrentIndex(3);
    QCOMPARE(tab->acquisition(), RecordTab::Acquisition::Suspended);
    const int writes = b.port.writes.size();
    QTest::qWait(300);
    QCOMPARE(b.port.writes.size(), writes); // no samples while away

    b.window->tabs()->setCurrentIndex(kRecordTab);
    QCOMPARE(tab->acquisition(), RecordTab::Acquisition::Running); // coming back resumes the same record
    QVERIFY(tab->model().value(1));
    QCOMPARE(acquire->text(), QStringLiteral("Stop"));
    acquire->click();
    QCOMPARE(tab->acquisition(), RecordTab::Acquisition::Idle);
}

void MainWindowTest::exit_asksOnlyWhenThereAreUnsavedChanges()
{
    Bench b;
    b.window->startUp();
    b.window->show();
    QAction* exit = b.window->menuBar()->findChild<QAction*>(QStringLiteral("mnuExit"));

    b.window->parameters().binding().setDirty(true);
    b.prompter.yesNoAnswers.enqueue(false);
    exit->trigger();
    QCOMPARE(b.prompter.questions, QStringList{MainWindow::kExitQuestion});
    QVERIFY(b.window->isVisible());
    QVERIFY(b.window->dirty());

    b.window->parameters().binding().setDirty(false);
    exit->trigger();
    QCOMPARE(b.prompter.questions.size(), 1); // no second question
    QVERIFY(!b.window->isVisible());
}

void MainWindowTest::about_isNeverOpenedTwice()
{
    Bench b;
    b.window->show();
    QAction* about = b.window->menuBar()->findChild<QAction*>(QStringLiteral("mnuAbout"));
    about->trigger();
    about->trigger();
    const auto boxes = b.window->findChildren<QDialog*>();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first()->windowTitle(), QStringLiteral("About..."));
    QVERIFY(boxes.first()->isVisible());
}

void MainWindowTest::comm_isNeverOpenedTwice()
{
    Bench b;
    b.window->show();
    QAction* comm = b.window->menuBar()->findChild<QAction*>(QStringLiteral("mnuComm"));
    comm->trigger();
    comm->trigger();
    const auto dialogs = b.window->findChildren<QDialog*>();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs.first()->windowTitle(), QStringLiteral("Communications..."));
    QVERIFY(dialogs.first()->isVisible());
    dialogs.first()->close(); // closing it from its title bar applies nothing
    QTRY_COMPARE(b.window->findChildren<QDialog*>().size(), 0);
    QCOMPARE(b.adapter.settings(), QStringLiteral("9600,n,8,1"));
}

void MainWindowTest::vanishingInstrument_leavesFieldsEmptyWithoutHanging()
{
    Bench b({QStringLiteral("--vanish-after"), QStringLiteral("5")});
    b.window->startUp();
    QVERIFY(!b.adapter.isOpen()); // the adapter closed the vanished device
    QVERIFY(!b.param(1)->text().isEmpty());
    QVERIFY(b.param(27)->text().isEmpty());
    QVERIFY(!b.adapter.errorString().isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
