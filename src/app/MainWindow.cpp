#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/WindowTabs.h"
#include "link/CommandFraming.h"
#include "link/PortSettings.h"
#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "link/ui/CommsDialog.h"
#include "link/ui/LookingDialog.h"
#include "params/ParameterTable.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParameterPages.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/ui/ProgramTab.h"
#include "recorder/ui/RecordTab.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>

namespace quarvel {

namespace {
constexpr int kClientWidthTwips = 7950;
constexpr int kClientHeightTwips = 5250;
} // namespace

MainWindow::MainWindow(SerialPort& port, Prompter& prompter, QString configFolder, QWidget* parent)
    : QMainWindow(parent),
      m_port(port),
      m_prompter(prompter),
      m_configFolder(std::move(configFolder)),
      m_link(std::make_unique<SerialLink>(port, prompter)),
      m_parameters(std::make_unique<ParameterPages>(*m_link)),
      m_bootLoader(std::make_unique<BootLoaderSession>(port, *m_link))
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
    m_tabs->addTab(m_recordTab, captions[kRecordTab]);
    setCentralWidget(m_tabs);
    buildMenu();
    resize(twips(kClientWidthTwips), twips(kClientHeightTwips) + menuBar()->sizeHint().height());
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::SSTab1_Click);
    connect(m_bootLoader.get(), &BootLoaderSession::activeChanged, this, &MainWindow::showBootLoaderActive);
}

MainWindow::~MainWindow()
{
    delete m_comms;
    delete m_about;
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
}

bool MainWindow::dirty() const
{
    return m_parameters->binding().dirty();
}

void MainWindow::startUp()
{
    m_port.setPortNumber(1);
    m_port.setSettings(kDefaultPortSettings);
    // Without a port the search below fails and the fields stay empty; the search then says why.
    const QString portProblem = m_port.open() ? QString() : m_port.errorString();
    m_port.write(toWire(QString(kCR)));
    m_port.write(toWire(QString(kCR)));
    bool findBootLoader = false;
    {
        LookingDialog looking(*m_link, this);
        looking.setPortProblem(portProblem);
        looking.exec();
        findBootLoader = looking.bootLoaderSearchAsked();
    }
    if (findBootLoader)
        offerRunningBootLoader();
    m_parameters->binding().reloadParameters(); // refused while the loader runs: the fields stay empty
    m_parameters->binding().setDirty(false);
}

void MainWindow::SSTab1_Click(int current)
{
    const int previous = m_currentTab;
    m_currentTab = current;
    if (previous == kProgramTab)
        leaveProgramTab();
    if (previous == kRecordTab)
        m_recordTab->leaveTab();
    if (current < kProgramTab) {
        m_parameters->binding().reloadParameters();
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
    // Declined, the loader keeps running: starting the application could start a half-written one.
    if (m_prompter.askYesNo(kRunningBootLoaderQuestion))
        m_tabs->setCurrentIndex(kProgramTab);
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
    m_mnuRefresh->setEnabled(!active);
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (i != kProgramTab)
            m_tabs->widget(i)->setEnabled(!active);
    }
}

void MainWindow::mnuComm_Click()
{
    if (!m_comms)
        m_comms = new CommsDialog(m_port, m_prompter, m_configFolder, this); // deletes itself when closed
    m_comms->show();
    m_comms->raise();
    m_comms->activateWindow();
}

void MainWindow::mnuRefresh_Click()
{
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
    event->accept();
}

} // namespace quarvel
