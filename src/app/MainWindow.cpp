#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/WindowTabs.h"
#include "link/CommandFraming.h"
#include "link/ConnectionWatcher.h"
#include "link/DeviceDiscovery.h"
#include "link/PortArrivalWatcher.h"
#include "link/PortCatalog.h"
#include "link/PortSettingsFile.h"
#include "link/PortSettings.h"
#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "link/ui/CommsDialog.h"
#include "link/ui/LookingDialog.h"
#include "link/ui/PortOffer.h"
#include "link/ui/SearchDialog.h"
#include "params/ParameterTable.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParameterPages.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/ProgrammerTexts.h"
#include "programmer/RunningLoaderNote.h"
#include "programmer/ui/ProgramTab.h"
#include "params/ProfilePresets.h"
#include "recorder/BatteryHistory.h"
#include "recorder/RecordKeeper.h"
#include "recorder/ui/ChartTools.h"
#include "recorder/ui/HistoryView.h"
#include "recorder/ui/RecordTab.h"
#include "recorder/ui/ReportHistoryControls.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace quarvel {

namespace {
// The drawn width, and room beside the Record tab's chart for its tools.
constexpr int kClientWidthTwips = 7950 + RecordTab::kToolsWidthTwips + RecordTab::kToolsGapTwips;
constexpr int kClientHeightTwips = 5250;
} // namespace

MainWindow::MainWindow(SerialPort& port, Prompter& prompter, QString configFolder, QWidget* parent)
    : QMainWindow(parent),
      m_port(port),
      m_prompter(prompter),
      m_configFolder(std::move(configFolder)),
      m_link(std::make_unique<SerialLink>(port, prompter)),
      m_parameters(std::make_unique<ParameterPages>(*m_link)),
      m_bootLoader(std::make_unique<BootLoaderSession>(port, *m_link)),
      m_watcher(new ConnectionWatcher(port, *m_link, this)),
      m_arrivals(new PortArrivalWatcher(m_configFolder, this))
{
    setWindowTitle(QStringLiteral("Quarvel, V1.2"));
    // The layout is drawn for an 8-point dialog font; the value fields keep their own.
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    const QStringList& captions = kTabCaptions;
    for (int i = 0; i < kProgramTab; ++i)
        m_tabs->addTab(m_parameters->page(i), captions[i]);
    m_programTab = new ProgramTab(m_port, *m_link, m_prompter);
    m_programTab->setObjectName(QStringLiteral("pageProgram"));
    m_tabs->addTab(m_programTab, captions[kProgramTab]);
    m_recordTab = new RecordTab(*m_link, m_prompter, [this] {
        return m_parameters->binding().parameter(kRecordDwellTimeField)->text();
    });
    m_recordTab->setObjectName(QStringLiteral("pageRecord"));
    m_recordTab->keepRecordsIn(RecordKeeper::defaultFolder());
    m_tabs->addTab(m_recordTab, captions[kRecordTab]);
    setCentralWidget(m_tabs);
    m_historyPath = BatteryHistory::defaultPath();
    connectProfileLevels();
    addReportHistory();
    buildMenu();
    // Not a message box: the chart and the fields stay usable while the instrument is away.
    m_lblConnection = new QLabel(this);
    m_lblConnection->setObjectName(QStringLiteral("lblConnection"));
    m_lblConnection->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(m_lblConnection, 1);
    m_offer = new PortOffer(this);
    statusBar()->addPermanentWidget(m_offer);
    m_offer->hide();
    connect(m_offer, &PortOffer::taken, this, &MainWindow::lookOnArrivedPort);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->hide(); // shown with the first thing it has to say
    resize(twips(kClientWidthTwips), twips(kClientHeightTwips) + menuBar()->sizeHint().height());
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::SSTab1_Click);
    m_bootLoader->useNoteIn(m_configFolder);
    connect(m_bootLoader.get(), &BootLoaderSession::activeChanged, this, &MainWindow::showBootLoaderActive);
    m_watcher->setRelocator([this] { return relocatePort(); });
    connect(m_watcher, &ConnectionWatcher::lost, this, &MainWindow::connectionLost);
    connect(m_watcher, &ConnectionWatcher::reopened, this, [this] {
        showConnection(tr("QUARVEL's port is back: waiting for QUARVEL to answer (%1)").arg(portText()));
    });
    connect(m_watcher, &ConnectionWatcher::returned, this, &MainWindow::connectionReturned);
    connect(m_watcher, &ConnectionWatcher::otherInstrument, this, [this](const QString& identification) {
        showConnection(tr("Another instrument answered on %1 (%2), not the QUARVEL in use: nothing is sent to it. "
                          "Choose its port with \"Comm\" to use it.")
                           .arg(portText(), identification));
    });
    // Queued: the look may run the event loop, and the watcher's next look must not run inside it.
    connect(m_arrivals, &PortArrivalWatcher::appeared, this, &MainWindow::portAppeared, Qt::QueuedConnection);
    connect(m_arrivals, &PortArrivalWatcher::gone, this, &MainWindow::portGone, Qt::QueuedConnection);
}

MainWindow::~MainWindow()
{
    delete m_comms;
    delete m_about;
    delete m_history;
}

void MainWindow::buildMenu()
{
    QMenuBar* bar = menuBar();
    const auto add = [&](const QString& caption, const char* name, void (MainWindow::*handler)()) {
        QAction* action = bar->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add(QStringLiteral("&Comm"), "mnuComm", &MainWindow::mnuComm_Click);
    m_mnuRefresh = add(QStringLiteral("&Refresh"), "mnuRefresh", &MainWindow::mnuRefresh_Click);
    add(QStringLiteral("E&xit"), "mnuExit", &MainWindow::mnuExit_Click);
    add(QStringLiteral("&About"), "mnuAbout", &MainWindow::mnuAbout_Click);
    add(QStringLiteral("&History"), "mnuHistory", &MainWindow::mnuHistory_Click);
}

void MainWindow::connectProfileLevels()
{
    ParameterBinding& binding = m_parameters->binding();
    m_recordTab->chartTools()->setLevelSource([&binding](ChartTools::Profile profile) {
        const auto& fields = profile == ChartTools::ProfileA ? kProfileAFields : kProfileBFields;
        // Write order: name, resistance, high, warning, low.
        return VoltageLimits::fromTexts(binding.parameter(fields[2])->text(), binding.parameter(fields[3])->text(),
                                        binding.parameter(fields[4])->text());
    });
    for (const auto& fields : {kProfileAFields, kProfileBFields}) {
        for (size_t k = 2; k < fields.size(); ++k)
            connect(binding.parameter(fields[k]), &QLineEdit::textChanged, m_recordTab->chartTools(),
                    &ChartTools::levelsChanged);
    }
}

void MainWindow::addReportHistory()
{
    ParameterBinding& binding = m_parameters->binding();
    const QString settingsFile =
        m_configFolder.isEmpty() ? QString() : QDir(m_configFolder).filePath(QStringLiteral("Quarvel-history.ini"));
    m_reportHistory = new ReportHistoryControls(m_historyPath, settingsFile, [&binding](int profile) {
        return binding.parameter((profile == 0 ? kProfileAFields : kProfileBFields)[0])->text();
    }, m_parameters->page(kMiscTab));
    m_reportHistory->setObjectName(QStringLiteral("reportHistory"));
    m_reportHistory->setInstrument(m_identification);
    if (m_parameters->page(kMiscTab)->isVisible())
        m_reportHistory->show(); // a page already shown does not show what is added to it
    // Right of the "Report" frame, below the "Default mode" and "Record dwell time" fields.
    placeTwips(m_reportHistory, 5940, 1620 - 360, 1900, 1935);
    connect(&binding, &ParameterBinding::reportUpdated, m_reportHistory, [this, &binding] {
        const QString error = m_reportHistory->reportRead(binding.report(0)->text(), binding.report(1)->text(),
                                                          binding.report(2)->text());
        if (!error.isEmpty())
            m_prompter.inform(error);
    });
    connect(&binding, &ParameterBinding::reportNotRead, m_reportHistory, [this] {
        if (const QString why = m_reportHistory->reportNotRead(); !why.isEmpty())
            m_prompter.inform(why);
    });
}

void MainWindow::setHistoryPath(const QString& path)
{
    m_historyPath = path;
    delete m_reportHistory;
    addReportHistory();
}

void MainWindow::mnuHistory_Click()
{
    if (!m_history)
        m_history = new HistoryView(m_historyPath, this);
    if (const QString error = static_cast<HistoryView*>(m_history.data())->reload(); !error.isEmpty())
        m_prompter.inform(error);
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

bool MainWindow::dirty() const
{
    return m_parameters->binding().dirty();
}

void MainWindow::startUp()
{
    m_arrivals->start(); // the ports present now have not appeared
    m_port.setPortNumber(1);
    m_port.setSettings(kDefaultPortSettings);
    // Without a port the search below fails and the fields stay empty; the search then says why.
    QString portProblem = m_port.open() ? QString() : m_port.errorString();
    // A loader this program left running is asked at its own speed first: it hears no
    // application line, which it would read as other bytes and take for commands.
    if (portProblem.isEmpty() && RunningLoaderNote(m_configFolder).holds(m_port.deviceName())
        && m_bootLoader->answersAtLoaderSpeed()) {
        offerRunningBootLoader();
        m_parameters->binding().setDirty(false);
        watchPort(QString()); // no application answered: its identification is not known
        return;
    }
    bool findBootLoader = false;
    bool found = false;
    bool arrived = false;
    for (;;) {
        m_port.write(toWire(QString(kCR)));
        m_port.write(toWire(QString(kCR)));
        const PortInfo remembered = rememberedPort();
        LookingDialog looking(*m_link, this);
        looking.setPortProblem(portProblem);
        if (!remembered.device.isEmpty())
            looking.offerRemembered(portTitle(remembered));
        m_looking = &looking;
        looking.exec();
        m_looking = nullptr;
        found = looking.found();
        if (found) {
            rememberPort();
            RunningLoaderNote(m_configFolder).forget(m_port.deviceName()); // the application runs there
        }
        findBootLoader = looking.bootLoaderSearchAsked();
        m_identification = looking.identification();
        m_reportHistory->setInstrument(m_identification);
        if (looking.choice() == LookingDialog::Choice::Search) {
            arrived = false;
            found = searchAllPorts(kDefaultPortSettings).has_value();
            if (found)
                rememberPort();
        } else if (looking.choice() == LookingDialog::Choice::Remembered
                   && switchTo(remembered, kDefaultPortSettings)) {
            portProblem.clear();
            continue; // the full search of the start-up, on that port
        } else if (looking.choice() == LookingDialog::Choice::Arrived) {
            arrived = true;
            portProblem = openPort(looking.arrival(), kDefaultPortSettings, 5);
            continue; // the same, on the port that appeared
        }
        break;
    }
    if (findBootLoader)
        offerRunningBootLoader();
    m_parameters->binding().reloadParameters(); // refused while the loader runs: the fields stay empty
    m_parameters->binding().setDirty(false);
    watchPort(m_identification);
    m_seeking = !found && !m_bootLoader->active();
    if (!m_seeking)
        m_arrivals->stop();
    if (found && arrived && !m_identification.isEmpty())
        showConnection(tr("QUARVEL connected (%1): %2. Settings read.").arg(portText(), m_identification));
}

PortInfo MainWindow::rememberedPort() const
{
    if (m_configFolder.isEmpty())
        return {};
    const PortSettingsFile::Values stored = PortSettingsFile(m_configFolder).read();
    if (stored.device.isEmpty() && stored.identity.isEmpty())
        return {};
    const PortInfo port = PortCatalog::findRemembered(PortCatalog::list(m_configFolder), stored.identity, stored.device);
    return port.device == m_port.deviceName() ? PortInfo() : port;
}

QString MainWindow::identityOfPort() const
{
    const QString device = m_port.deviceName();
    for (const PortInfo& port : PortCatalog::list(m_configFolder)) {
        if (port.device == device)
            return port.identity;
    }
    return {};
}

void MainWindow::rememberPort()
{
    // Only a help for the next start-up: a file that cannot be written is not worth a message.
    if (!m_configFolder.isEmpty())
        PortSettingsFile(m_configFolder).rememberDevice(m_port.deviceName(), identityOfPort());
}

void MainWindow::watchPort(const QString& identification)
{
    // Known while the device is present: an adapter that comes back under another device node
    // is found by it.
    m_identity = m_port.isOpen() ? PortCatalog::distinctIdentity(PortCatalog::list(m_configFolder), m_port.deviceName())
                                 : QString();
    m_watcher->watch(identification);
}

int MainWindow::relocatePort()
{
    if (m_identity.isEmpty())
        return 0;
    const QList<PortInfo> ports = PortCatalog::list(m_configFolder);
    const PortInfo port = PortCatalog::findByIdentity(ports, m_identity);
    if (port.device.isEmpty() || PortCatalog::distinctIdentity(ports, port.device).isEmpty())
        return 0; // absent, or another adapter present now looks the same
    return port.portNumber > 0 ? port.portNumber : PortCatalog::assignNumber(port.device, m_configFolder);
}

bool MainWindow::switchTo(const PortInfo& port, const QString& settings)
{
    const QString problem = openPort(port, settings);
    if (problem.isEmpty())
        return true;
    m_prompter.inform(problem);
    return false;
}

QString MainWindow::openPort(const PortInfo& port, const QString& settings, int attempts)
{
    int number = port.portNumber;
    QString error;
    if (number == 0)
        number = PortCatalog::assignNumber(port.device, m_configFolder, &error);
    if (number == 0)
        return error;
    m_port.close();
    m_port.setPortNumber(number);
    m_port.setSettings(settings);
    for (int attempt = 1; !m_port.open(); ++attempt) {
        if (attempt >= attempts)
            return m_port.errorString();
        m_link->delay(100);
    }
    return {};
}

void MainWindow::portAppeared(const PortInfo& port)
{
    const bool expected = m_arrivals->isExpected(port);
    if (m_looking) {
        m_looking->portAppeared(port, expected);
        return;
    }
    if (!m_seeking || m_bootLoader->active())
        return;
    if (expected) {
        lookOnArrivedPort(port);
        return;
    }
    m_offer->offer(port);
    statusBar()->show();
}

void MainWindow::portGone(const QString& device)
{
    if (m_looking)
        m_looking->portGone(device);
    m_offer->withdraw(device);
}

void MainWindow::lookOnArrivedPort(const PortInfo& port)
{
    if (!m_seeking)
        return;
    if (m_link->busy()) { // an exchange under way ends first
        QTimer::singleShot(50, this, [this, port] { lookOnArrivedPort(port); });
        return;
    }
    const int search = ++m_arrivedSearch;
    m_offer->withdraw();
    showConnection(tr("A serial port appeared (%1): looking for QUARVEL there...").arg(portTitle(port)));
    if (const QString problem = openPort(port, kDefaultPortSettings, 5); !problem.isEmpty()) {
        watchPort(QString()); // no port in use: nothing to wait for
        showConnection(tr("QUARVEL was not found: %1").arg(problem));
        return;
    }
    watchPort(QString()); // a port the user chose to look on, or port 1: whichever instrument answers
    // As at start-up: two line ends end whatever a previous program left half sent.
    m_port.write(toWire(QString(kCR)));
    m_port.write(toWire(QString(kCR)));
    identifyArrived(search, 0);
}

void MainWindow::identifyArrived(int search, int attempt)
{
    if (search != m_arrivedSearch || !m_seeking)
        return; // the user chose a port meanwhile, or another port is asked
    if (m_link->busy()) {
        QTimer::singleShot(20, this, [this, search, attempt] { identifyArrived(search, attempt); });
        return;
    }
    const QString answer = m_link->getValue(kInstrumentAddress, kIdentifyCode);
    if (search != m_arrivedSearch || !m_seeking)
        return;
    if (answer.contains(kIdentityMark)) {
        arrivedInstrumentFound(answer.trimmed());
        return;
    }
    if (attempt + 1 >= kMaxIdentifyAttempts || !m_port.isOpen()) {
        showConnection(tr("No QUARVEL answered on %1.").arg(portText()));
        return;
    }
    QTimer::singleShot(0, this, [this, search, attempt] { identifyArrived(search, attempt + 1); });
}

void MainWindow::arrivedInstrumentFound(const QString& identification)
{
    stopSeeking();
    rememberPort();
    RunningLoaderNote(m_configFolder).forget(m_port.deviceName()); // the application runs there
    watchPort(identification); // from now on a reconnection returns only to this instrument
    m_identification = identification;
    m_reportHistory->setInstrument(identification);
    showConnection(tr("QUARVEL connected (%1): %2. Reading its settings...").arg(portText(), identification));
    m_parameters->binding().reloadParameters();
    showConnection(tr("QUARVEL connected (%1): %2. Settings read.").arg(portText(), identification));
}

void MainWindow::stopSeeking()
{
    m_seeking = false;
    ++m_arrivedSearch;
    m_offer->withdraw();
    m_arrivals->stop(); // an unplugged instrument is waited for by the connection watcher
}

std::optional<PortInfo> MainWindow::searchAllPorts(const QString& settings)
{
    // The port in use is searched too, so it is let go meanwhile; nothing waits for it to return.
    m_port.close();
    m_watcher->watch(m_watcher->identification());
    std::optional<PortInfo> chosen;
    {
        // A loader this program left running would read lines at another speed as other bytes.
        QList<PortInfo> skipped;
        const QList<PortInfo> ports = RunningLoaderNote(m_configFolder).searchable(PortCatalog::list(m_configFolder), &skipped);
        for (const PortInfo& port : skipped)
            m_prompter.inform(QStringLiteral("%1 is not searched: a boot loader was left running there. Choose its "
                                             "port in Comm to reach it.")
                                  .arg(portTitle(port)));
        SearchDialog search(ports, settings, m_prompter, this);
        search.exec();
        chosen = search.chosen();
    }
    if (chosen && switchTo(*chosen, settings)) {
        stopSeeking();
        return chosen;
    }
    if (!m_port.open())
        m_prompter.inform(m_port.errorString());
    return std::nullopt;
}

QString MainWindow::portText() const
{
    return quarvel::portTitle(m_watcher->portNumber(), m_watcher->device());
}

void MainWindow::showConnection(const QString& text)
{
    m_lblConnection->setText(text);
    statusBar()->show();
}

void MainWindow::connectionLost()
{
    if (m_watcher->held()) {
        // The boot loader's session is the user's to end; nothing restarts by itself.
        showConnection(tr("QUARVEL disconnected (%1). It is looked for again when you leave the Program tab.")
                           .arg(portText()));
        return;
    }
    showConnection(tr("QUARVEL disconnected: waiting for it to come back (%1)").arg(portText()));
    // A live record goes on in time without asking the absent instrument: the samples that fall
    // due meanwhile are gaps, and the link stays free for the return.
    m_recordTab->acquisition().suspend();
}

void MainWindow::connectionReturned(const QString& identification)
{
    stopSeeking();
    m_identification = identification;
    m_reportHistory->setInstrument(identification);
    showConnection(tr("QUARVEL is back (%1): %2. Reading its settings...").arg(portText(), identification));
    m_parameters->binding().reloadParameters();
    showConnection(tr("QUARVEL reconnected (%1): %2. Settings reloaded.").arg(portText(), identification));
    // After the reload, so the next sample lands at the point of the current time.
    if (m_currentTab == kRecordTab)
        m_recordTab->acquisition().resume();
}

void MainWindow::SSTab1_Click(int current)
{
    const int previous = m_currentTab;
    m_currentTab = current;
    if (previous == kProgramTab && !mayStartApplication()) {
        m_tabs->setCurrentIndex(kProgramTab); // the loader keeps running, on its own tab
        return;
    }
    if (previous == kProgramTab)
        leaveProgramTab();
    if (previous == kRecordTab)
        m_recordTab->leaveTab();
    if (current < kProgramTab) {
        reloadUnlessAway();
        return;
    }
    if (current == kProgramTab) {
        if (m_bootLoader->active())
            return; // found running at start-up: no "1pgm" to send
        if (!m_prompter.askYesNo(kEnterProgrammingQuestion)) {
            m_tabs->setCurrentIndex(previous); // itself a change of tab, which leaves "Program"
            return;
        }
        m_programTab->resetProgress();
        m_programTab->showIdentification(m_bootLoader->enter());
        return;
    }
    if (current == kRecordTab)
        m_recordTab->enterTab();
}

void MainWindow::offerRunningBootLoader()
{
    const Identification id = m_bootLoader->findRunning();
    if (!id.programmer) {
        m_prompter.inform(id.error.isEmpty() ? kNoBootLoaderMessage : id.error);
        return;
    }
    m_programTab->resetProgress();
    m_programTab->showIdentification(id);
    m_programTab->setFlashUnverified();
    // Declined, the loader keeps running: starting the application could start a half-written one.
    if (m_prompter.askYesNo(kRunningBootLoaderQuestion))
        m_tabs->setCurrentIndex(kProgramTab);
}

bool MainWindow::mayStartApplication()
{
    if (!m_bootLoader->active() || !m_programTab->flashUnverified() || m_prompter.askYesNo(kStartUnverifiedQuestion))
        return true;
    m_prompter.inform(kUnverifiedApplicationMessage);
    return false;
}

void MainWindow::leaveProgramTab()
{
    // Also after a declined entry: the tab had already switched to "Program", and leaving it
    // always starts the application.
    if (!m_bootLoader->leave())
        m_prompter.inform(LookingDialog::kFailureText + QStringLiteral("\n\n") + m_port.errorString());
}

void MainWindow::showBootLoaderActive(bool active)
{
    // Nothing that talks to the application can be used meanwhile; the link refuses it too.
    m_watcher->setHeld(active);
    if (!active && m_port.isOpen())
        watchPort(m_watcher->identification()); // as leaving the loader left it; a closed one is waited for
    m_mnuRefresh->setEnabled(!active);
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (i != kProgramTab)
            m_tabs->widget(i)->setEnabled(!active);
    }
}

void MainWindow::commsApplied(bool searched)
{
    stopSeeking(); // the user's choice stands
    watchPort(QString()); // the user's choice: whichever instrument answers there
    if (!searched || !m_port.isOpen())
        return;
    rememberPort();
    m_parameters->binding().reloadParameters(); // the instrument found may not be the one read before
}

void MainWindow::mnuComm_Click()
{
    if (!m_comms) {
        auto* comms = new CommsDialog(m_port, m_prompter, m_configFolder, this); // deletes itself when closed
        connect(comms, &CommsDialog::applied, this, &MainWindow::commsApplied);
        connect(comms, &CommsDialog::searchRequested, this, [this, comms](const QString& settings) {
            if (const auto port = searchAllPorts(settings))
                comms->useSearchResult(m_port.portNumber());
            else
                watchPort(m_watcher->identification()); // the port in use, reopened
        });
        m_comms = comms;
    }
    m_comms->show();
    m_comms->raise();
    m_comms->activateWindow();
}

void MainWindow::mnuRefresh_Click()
{
    reloadUnlessAway();
}

void MainWindow::reloadUnlessAway()
{
    // Until the instrument answers again (a port back but the instrument still starting
    // included), a reload would only blank the fields; its return reloads them.
    if (!m_watcher->away())
        m_parameters->binding().reloadParameters();
}

void MainWindow::mnuExit_Click()
{
    if (dirty() && !m_prompter.askYesNo(kExitQuestion))
        return;
    close();
}

void MainWindow::mnuAbout_Click()
{
    if (!m_about)
        m_about = new AboutDialog(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing from the title bar ends the program without asking; the tool windows go with it.
    if (m_comms)
        m_comms->close();
    if (m_about)
        m_about->close();
    if (m_history)
        m_history->close();
    event->accept();
}

} // namespace quarvel
