#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

namespace quarvel::test {

// The virtual instrument program (quarvel-sim) on a pseudo-terminal, linked as com1 (or another
// link name) in a throw-away configuration folder, or in a folder shared with another instrument.
// Its path comes from the environment variable QUARVEL_SIM.
class SimProcess {
public:
    explicit SimProcess(const QStringList& options = {}, const QString& linkName = QStringLiteral("com1"),
                        const QString& folder = QString());
    ~SimProcess();

    bool started() const { return !m_device.isEmpty(); }
    QString error() const { return m_error; }
    // The folder to give the port adapter: it holds the link.
    QString configFolder() const { return m_folder; }
    QString device() const { return m_device; }
    void stop();
    // Pulls the instrument out (for its --away time, then it comes back on a new device behind
    // the same link); while it is out, plugs it back at once. Or restarts its application.
    void unplug() { signal(SIGUSR1); }
    void plugBackIn() { signal(SIGUSR1); }
    void restartApplication() { signal(SIGUSR2); }
    // Devices it came back on so far, newest last.
    QStringList returns();

private:
    void signal(int number);

    QTemporaryDir m_dir;
    QString m_folder;
    QProcess m_process;
    QString m_device;
    QString m_error;
};

} // namespace quarvel::test
