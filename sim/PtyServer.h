#pragma once

#include <QString>

namespace quarvel::sim {

class VirtualInstrument;

// Serves a virtual instrument on the master side of a pseudo-terminal. The slave side is kept
// open in raw mode, so the line stays up between the program's opens; the instrument vanishing
// closes the master, which the program sees as a pulled-out adapter.
class PtyServer {
public:
    explicit PtyServer(VirtualInstrument& instrument) : m_instrument(instrument) {}
    ~PtyServer();

    // A symbolic link to the device, made at start and removed at exit (e.g. <config>/com1).
    void setLinkPath(const QString& path) { m_linkPath = path; }

    bool start();
    QString devicePath() const { return m_devicePath; }
    QString errorString() const { return m_error; }
    // Serves until SIGINT or SIGTERM, or until the instrument vanishes; returns the exit code.
    int run();

private:
    VirtualInstrument& m_instrument;
    QString m_linkPath;
    QString m_devicePath;
    QString m_error;
    int m_master = -1;
    int m_slave = -1;
};

} // namespace quarvel::sim
