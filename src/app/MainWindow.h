#pragma once

#include "link/PortInfo.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QTabWidget;

namespace quarvel {

class BootLoaderSession;
class ConnectionWatcher;
class LookingDialog;
class ParameterPages;
class PortArrivalWatcher;
class PortOffer;
class ProgramTab;
class Prompter;
class RecordTab;
class ReportHistoryControls;
class SerialLink;
class SerialPort;

// The program's window: the six tabs, the menu, start-up, what changing tabs does (including
// switching the line to and from the boot loader) and the exit guard.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kRunningBootLoaderQuestion = QStringLiteral(
        "The QUARVEL's boot loader is running: the instrument holds no working application, as after a firmware "
        "update that stopped part-way. Go to the Program tab to program it?");
    static inline const QString kNoBootLoaderMessage =
        QStringLiteral("No boot loader answered at 19200 baud either. Check the connection and the comm port.");
    static inline const QString kEnterProgrammingQuestion = QStringLiteral(
        "You are about to enter the programming mode. You will lose any parameters not saved to EEPROM, are "
        "you sure you want to continue?");
    static inline const QString kStartUnverifiedQuestion = QStringLiteral(
        "The flash does not hold a verified application: started, it may not run, and the QUARVEL would then "
        "answer neither its settings nor a firmware update until it is powered up again. Start the application "
        "anyway? No keeps the boot loader running, so you can flash again.");
    static inline const QString kExitQuestion =
        QStringLiteral("You have not saved your changes to QUARVEL, do you still want to exit?");

    MainWindow(SerialPort& port, Prompter& prompter, QString configFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the port at its built-in settings, wakes the line, looks for the instrument and reads
    // every field. Call before showing the window.
    void startUp();

    bool dirty() const;
    BootLoaderSession& bootLoader() { return *m_bootLoader; }
    QTabWidget* tabs() const { return m_tabs; }
    ParameterPages& parameters() { return *m_parameters; }
    SerialLink& link() { return *m_link; }
    ConnectionWatcher& connection() { return *m_watcher; }
    PortArrivalWatcher& arrivals() { return *m_arrivals; }
    RecordTab* recordTab() const { return m_recordTab; }
    ReportHistoryControls* reportHistory() const { return m_reportHistory; }
    // The battery history file the report rows go to and the History view reads.
    QString historyPath() const { return m_historyPath; }
    void setHistoryPath(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void SSTab1_Click(int current);
    // Leaving the Program tab starts the application; after a failed erase, program or verify
    // only when the user says so. False keeps the loader running.
    bool mayStartApplication();
    void leaveProgramTab();
    // Asked from the failure view at start-up: looks for a boot loader that is already running and
    // offers the Program tab when one answers.
    void offerRunningBootLoader();
    // Programming mode: application controls are disabled while the boot loader listens.
    void showBootLoaderActive(bool active);
    // The line under the tabs that says where the instrument is after an unplug.
    void showConnection(const QString& text);
    // The port where the instrument answered last time, when present and not the one in use.
    PortInfo rememberedPort() const;
    void rememberPort();
    QString identityOfPort() const;
    // Watches the port in use, where the instrument with this identification answered (empty:
    // none known); after an unplug, relocatePort() finds its device by an identity no other
    // adapter shares.
    void watchPort(const QString& identification);
    int relocatePort();
    // Makes the port the one in use at the given settings (a port without a number gets a
    // com<N> link); false, after telling the user, when it cannot be opened.
    bool switchTo(const PortInfo& port, const QString& settings);
    // The same without a message: empty when open, else why not. Tried `attempts` times, 100 ms
    // apart (a device that has just appeared may not be open to the user for a moment).
    QString openPort(const PortInfo& port, const QString& settings, int attempts = 1);
    // A port appeared: taken or offered by the failure view; after the start-up, while no
    // instrument has answered and no port was chosen, asked (port 1, the remembered adapter) or
    // offered under the tabs.
    void portAppeared(const PortInfo& port);
    void portGone(const QString& device);
    // Opens the port that appeared and looks for the instrument there, one identify exchange per
    // turn of the event loop, so the window stays usable.
    void lookOnArrivedPort(const PortInfo& port);
    void identifyArrived(int search, int attempt);
    void arrivedInstrumentFound(const QString& identification);
    // An instrument answered or the user chose a port: appearing ports are no longer asked.
    void stopSeeking();
    // "Search all ports" at the given speed; the port chosen, or nothing (the port is reopened).
    std::optional<PortInfo> searchAllPorts(const QString& settings);
    void connectionLost();
    void connectionReturned(const QString& identification);
    QString portText() const;
    void commsApplied(bool searched);
    void reloadUnlessAway();
    void mnuComm_Click();
    void mnuRefresh_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuHistory_Click();
    // The Record tab's limit lines take the profiles' level fields and follow their edits.
    void connectProfileLevels();
    void addReportHistory();

    SerialPort& m_port;
    Prompter& m_prompter;
    QString m_configFolder;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<ParameterPages> m_parameters;
    std::unique_ptr<BootLoaderSession> m_bootLoader;
    ConnectionWatcher* m_watcher;
    PortArrivalWatcher* m_arrivals;
    LookingDialog* m_looking = nullptr; // while the start-up's dialog shows
    PortOffer* m_offer = nullptr;       // under the tabs
    bool m_seeking = false;             // no instrument since the start-up; no port chosen
    int m_arrivedSearch = 0;            // ends a look on an arrived port when changed
    QLabel* m_lblConnection = nullptr;
    QString m_identity; // of the device in use, when it tells that adapter apart
    QTabWidget* m_tabs;
    ProgramTab* m_programTab;
    RecordTab* m_recordTab;
    QAction* m_mnuRefresh = nullptr;
    QPointer<QWidget> m_about;
    QPointer<QWidget> m_comms;
    QPointer<QWidget> m_history;
    ReportHistoryControls* m_reportHistory = nullptr;
    QString m_historyPath;
    QString m_identification; // the instrument's answer at start-up, kept with each report
    int m_currentTab = 0;
};

} // namespace quarvel
