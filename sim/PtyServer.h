#pragma once

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <optional>

namespace quarvel::sim {

class VirtualInstrument;

// Serves a virtual instrument on the master side of a pseudo-terminal. The slave side is kept
// open in raw mode, so the line stays up between the program's opens; the instrument vanishing
// closes the master, which the program sees as a pulled-out adapter.
//
// The link leads to the device through a path of its own that follows the instrument, as a
// /dev/serial/by-id name follows an adapter: while the instrument is unplugged the link dangles,
// and when it is back the same link, with the same target, leads to its new device.
//
// Unplug and replug: SIGUSR1 (or a vanish fault when a time away is set) closes the line, and
// after the time away, or at the next SIGUSR1, a new pseudo-terminal takes its place behind the
// same link. SIGUSR2 restarts the instrument's application on the same line. After either, the
// instrument is deaf for its boot time.
class PtyServer {
public:
    static constexpr int kDefaultAwayMs = 3000;
    static constexpr int kDefaultBootMs = 500;

    explicit PtyServer(VirtualInstrument& instrument) : m_instrument(instrument) {}
    ~PtyServer();

    // A symbolic link to the device, made at start and removed at exit (e.g. <config>/com1).
    void setLinkPath(const QString& path) { m_linkPath = path; }
    // Time away after a vanish fault (0: a vanish fault ends the program) or SIGUSR1.
    void setAwayMs(int ms) { m_awayMs = ms; }
    void setBootMs(int ms) { m_bootMs = ms; }

    bool start();
    QString devicePath() const { return m_devicePath; }
    QString errorString() const { return m_error; }
    // Serves until SIGINT or SIGTERM, or until the instrument vanishes for good; returns the exit code.
    int run();

private:
    using Clock = std::chrono::steady_clock;
    enum class End { Stop, Vanished, Unplugged };
    // Serves the current line until it ends.
    End serve();
    void closeLine();
    // The speed the program set on the line; 0 when it is not one of the usual ones.
    int sentBaud() const;
    // The path that follows the device: the link's target.
    QString stablePath() const { return m_stable ? m_stable->filePath(QStringLiteral("device")) : QString(); }
    // Sleeps until the time away is over; false when told to stop meanwhile.
    bool stayAway(int ms);

    VirtualInstrument& m_instrument;
    QString m_linkPath;
    std::optional<QTemporaryDir> m_stable;
    QString m_devicePath;
    QString m_error;
    int m_master = -1;
    int m_slave = -1;
    int m_awayMs = 0;
    int m_bootMs = kDefaultBootMs;
    Clock::time_point m_deafUntil{};
};

} // namespace quarvel::sim
