// The program against the virtual instrument program on a pseudo-terminal, through the real port
// adapter. Only what the protocol guarantees is compared; exact bytes and timing-tight cases are
// tested in this process (tests/app, tests/params).
#include "app/MainWindow.h"
#include "link/ConnectionWatcher.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"
#include "recorder/LiveAcquisition.h"
#include "recorder/RecordFileReader.h"
#include "recorder/SampleTimer.h"
#include "recorder/ui/RecordTab.h"
#include "link/ui/LookingDialog.h"
#include "support/RecordingPort.h"
#include "support/ScriptedPrompter.h"
#include "support/SimProcess.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

namespace {

constexpr int kProgram = 4; // the tab "Program"

struct Bench {
    explicit Bench(const QString& folder) : adapter(folder), port(adapter), window(port, prompter, folder) {}
    QtSerialPortAdapter adapter;
    RecordingPort port;
    ScriptedPrompter prompter;
    MainWindow window;
    QLineEdit* param(int i) { return window.findChild<QLineEdit*>(QStringLiteral("txtParam_%1").arg(i)); }
};

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startUpAndProgramTab_switchTheLineAndReadTheSettings();
    void startUp_withoutInstrument_saysWhyAndOpensEmpty_data();
    void startUp_withoutInstrument_saysWhyAndOpensEmpty();
    void unplugWhileIdle_saysSoKeepsTypedTextAndReconnectsByItself();
    void startUpFailure_searchFindsTheInstrumentBehindCom3_andTheNextStartOffersIt();
    void unplugDuringLiveRecord_leavesGapsKeepsTheValuesAndSaves();

private:
    std::unique_ptr<SimProcess> m_sim;
};

void EndToEndTest::initTestCase()
{
    // Without the instrument every test would sit in the search dialog: stop here instead.
    m_sim = std::make_unique<SimProcess>();
    QVERIFY2(m_sim->started(), qPrintable("the virtual instrument did not start: " + m_sim->error()));
}

void EndToEndTest::startUpAndProgramTab_switchTheLineAndReadTheSettings()
{
    Bench b(m_sim->configFolder());
    b.window.startUp(); // the exact bytes are compared in the in-process tests
    QCOMPARE(b.param(1)->text(), QStringLiteral("10"));
    QCOMPARE(b.param(11)->text(), QStringLiteral("Flight pack"));

    b.prompter.yesNoAnswers.enqueue(true);
    b.window.tabs()->setCurrentIndex(kProgram);
    QCOMPARE(b.adapter.settings(), QStringLiteral("19200,n,8,1"));

    const int leaveAt = b.port.writes.size();
    b.window.tabs()->setCurrentIndex(1);
    QCOMPARE(b.port.writes.value(leaveAt), QByteArray("G"));
    QCOMPARE(b.port.settingsAtWrite.value(leaveAt), QStringLiteral("19200,n,8,1"));
    QCOMPARE(b.adapter.settings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(b.param(10)->text(), QStringLiteral("7.5")); // the application answers the reload
    QCOMPARE(b.prompter.messages, QStringList());
}

void EndToEndTest::startUp_withoutInstrument_saysWhyAndOpensEmpty_data()
{
    QTest::addColumn<bool>("portMissing");
    QTest::newRow("nothing answers") << false;
    QTest::newRow("the port cannot be opened") << true;
}

void EndToEndTest::startUp_withoutInstrument_saysWhyAndOpensEmpty()
{
    QFETCH(bool, portMissing);
    SimProcess silent({QStringLiteral("--silent")});
    QVERIFY2(silent.started(), qPrintable(silent.error()));
    QTemporaryDir broken; // its com1 is a folder, which no serial port can open
    QVERIFY(QDir(broken.path()).mkdir(QStringLiteral("com1")));
    Bench b(portMissing ? broken.path() : silent.configFolder());
    QStringList shown; // the texts the search dialog shows once it has failed
    QTimer okClicker;
    connect(&okClicker, &QTimer::timeout, [&] {
        auto* looking = qobject_cast<LookingDialog*>(QApplication::activeModalWidget());
        if (!looking || !looking->failureShown())
            return;
        for (QLabel* label : looking->findChildren<QLabel*>()) {
            if (label->isVisible() && looking->rect().contains(label->geometry()))
                shown << label->text();
        }
        looking->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    okClicker.start(50);
    b.window.startUp();

    QCOMPARE(shown.mid(0, 2), (QStringList{"Looking for QUARVEL...", "Could not locate QUARVEL, please try a different "
                                           "comm port. Make sure QUARVEL is connected to a valid comm port."}));
    const QString device = QFileInfo(broken.filePath(QStringLiteral("com1"))).canonicalFilePath();
    QCOMPARE(shown.size(), portMissing ? 3 : 2);
    QVERIFY2(!portMissing || shown.last().endsWith(" (" + device + ")"), qPrintable(shown.join('|')));
    QCOMPARE(b.port.writes.count("1DID\r"), 101);
    for (QLineEdit* field : b.window.findChildren<QLineEdit*>(QRegularExpression("^txt(Param|R)_")))
        QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
}

void EndToEndTest::unplugWhileIdle_saysSoKeepsTypedTextAndReconnectsByItself()
{
    SimProcess sim({QStringLiteral("--away"), QStringLiteral("600000")}); // back when told
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    Bench b(sim.configFolder());
    b.window.startUp();
    QLineEdit* load = b.param(1);
    load->setText(QStringLiteral("12"));
    QTest::keyClick(load, Qt::Key_Return);
    auto* line = b.window.findChild<QLabel*>(QStringLiteral("lblConnection"));
    QVERIFY(line->text().isEmpty());

    sim.unplug();
    QTRY_VERIFY_WITH_TIMEOUT(b.window.connection().away(), 20000);
    QCOMPARE(line->text(), "QUARVEL disconnected: waiting for it to come back (port 1, " + sim.device() + ")");
    load->setText(QStringLiteral("13"));
    QTest::keyClick(load, Qt::Key_Return);
    QCOMPARE(b.prompter.messages, QStringList{SerialLink::kDisconnectedMessage});
    QCOMPARE(load->text(), QStringLiteral("13")); // what the user typed stays
    b.window.tabs()->setCurrentIndex(3);           // a reload while away blanks nothing
    QCOMPARE(load->text(), QStringLiteral("13"));

    sim.plugBackIn();
    QTRY_VERIFY_WITH_TIMEOUT(line->text().startsWith(QLatin1String("QUARVEL reconnected")), 30000);
    const QStringList returns = sim.returns();
    QCOMPARE(returns.size(), 1);
    QVERIFY2(line->text().contains("(port 1, " + returns[0] + "): Quarvel V"), qPrintable(line->text()));
    QCOMPARE(load->text(), QStringLiteral("13")); // never sent: the reload keeps the user's value
    QCOMPARE(b.prompter.messages.size(), 1);
    QTest::keyClick(load, Qt::Key_Return);
    QCOMPARE(b.prompter.messages.size(), 1); // sent and confirmed this time
    QCOMPARE(b.port.writes.count("1DRA 13\r"), 1); // while away nothing reached the port
}

void EndToEndTest::startUpFailure_searchFindsTheInstrumentBehindCom3_andTheNextStartOffersIt()
{
    SimProcess sim({}, QStringLiteral("com3"));
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    const QDir folder(sim.configFolder()); // its com1 names a folder, which no serial port can open
    QVERIFY(folder.mkdir(QStringLiteral("folder")) && QFile::link(folder.filePath("folder"), folder.filePath("com1")));
    QString pressed = QStringLiteral("cmdSearch");
    QStringList offered; // the remembered port's button, as each failure view showed it
    QString skipped;     // what the search said of the port it could not open
    QTimer user;
    connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* looking = qobject_cast<LookingDialog*>(modal); looking && looking->failureShown()) {
            auto* remembered = looking->findChild<QPushButton*>(QStringLiteral("cmdRemembered"));
            offered << (remembered->isVisible() ? remembered->text() : QString());
            looking->findChild<QPushButton*>(pressed)->click();
        } else if (auto* use = modal ? modal->findChild<QPushButton*>(QStringLiteral("cmdUse")) : nullptr;
                   use && use->isVisible()) {
            if (auto* label = modal->findChild<QLabel*>(QStringLiteral("lblSkipped")); label->isVisible())
                skipped = label->text();
            use->click(); // another port was skipped: the one found is offered to pick, not taken
        }
    });
    user.start(50);
    {
        Bench b(sim.configFolder()); // port 1 names nothing there
        b.window.startUp();
        QCOMPARE(b.adapter.portNumber(), 3);
        QCOMPARE(b.param(1)->text(), QStringLiteral("10")); // the settings were read from it
        QCOMPARE(b.prompter.messages, QStringList());
    }
    const QString device = QFileInfo(folder.filePath("folder")).canonicalFilePath();
    QVERIFY2(skipped.startsWith("Not searched, the port could not be opened:\nport 1, " + device + ": "),
             qPrintable(skipped));
    pressed = QStringLiteral("cmdRemembered");
    Bench b(sim.configFolder());
    b.window.startUp();
    QCOMPARE(offered, (QStringList{QString(), "Use port 3, " + sim.device()}));
    QCOMPARE(b.adapter.portNumber(), 3);
    QCOMPARE(b.param(11)->text(), QStringLiteral("Flight pack"));
}

void EndToEndTest::unplugDuringLiveRecord_leavesGapsKeepsTheValuesAndSaves()
{
    SimProcess sim({QStringLiteral("--away"), QStringLiteral("600000")});
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    Bench b(sim.configFolder());
    b.window.startUp();
    b.window.tabs()->setCurrentIndex(5);
    auto* record = b.window.findChild<RecordTab*>();
    LiveAcquisition& acquisition = record->acquisition();
    const RecordModel& model = acquisition.model();
    b.window.findChild<QLineEdit*>(QStringLiteral("txtStime"))->setText(QStringLiteral("0.1"));
    b.window.findChild<QPushButton*>(QStringLiteral("cmdAcquire"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(model.cursor() > 5, 20000);

    const int before = model.cursor(); // the points before it were sampled before the unplug
    sim.unplug();
    QTRY_VERIFY_WITH_TIMEOUT(b.window.connection().away(), 20000);
    const qint64 awayFrom = acquisition.timer().ticksDue();
    QTRY_VERIFY_WITH_TIMEOUT(acquisition.timer().ticksDue() >= awayFrom + 5, 20000); // 5 samples missed
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("away.csv"));
    b.prompter.fileAnswers.enqueue(file);
    b.window.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click(); // while it is away

    sim.plugBackIn();
    QTRY_VERIFY_WITH_TIMEOUT(b.window.connection().state() == ConnectionWatcher::State::Connected, 30000);
    const qint64 returnedAt = acquisition.timer().ticksDue();
    QTRY_VERIFY_WITH_TIMEOUT(model.cursor() > returnedAt + 3, 20000);
    QCOMPARE(acquisition.state(), LiveAcquisition::State::Acquiring);
    int gaps = 0;
    for (int p = 1; p < model.cursor(); ++p) {
        if (p < before || p > returnedAt + 1) // a sample under way at the return may go either way
            QVERIFY2(model.value(p).has_value() == (p < before || p > returnedAt), qPrintable(QString::number(p)));
        gaps += model.value(p).has_value() ? 0 : 1;
    }
    QVERIFY2(gaps >= 5, qPrintable(QString::number(gaps)));

    const RecordFileLoad saved = RecordFileReader::load(file, {}, {});
    QVERIFY2(saved.error.isEmpty(), qPrintable(saved.error));
    for (int p = 1; p < before; ++p)
        QCOMPARE(saved.values[p - 1], model.value(p));
}

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
