#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace quarvel::test {

// The virtual instrument program (quarvel-sim) on a pseudo-terminal, linked as com1 in a
// throw-away configuration folder. Its path comes from the environment variable QUARVEL_SIM.
class SimProcess {
public:
    explicit SimProcess(const QStringList& options = {});
    ~SimProcess();

    bool started() const { return !m_device.isEmpty(); }
    QString error() const { return m_error; }
    // The folder to give the port adapter: it holds the link com1.
    QString configFolder() const { return m_dir.path(); }
    QString device() const { return m_device; }
    void stop();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
    QString m_error;
};

} // namespace quarvel::test
