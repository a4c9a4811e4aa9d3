#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace quarvel {

class SerialLink;
class SerialPort;

// Notices the port closing under the program (an adapter pulled out, its device node gone) and
// brings the instrument back when the same port (the same device path or com<N> link) can be
// opened again, or when the relocator finds the same device (its identity) under another number:
// it reopens it, repeats the identify exchange until the instrument answers and reports the
// return. It only ever reopens the device the program was using.
class ConnectionWatcher : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,        // not watching (no port in use, or the user's choice failed to open)
        Connected,   // the port is open
        Away,        // the port closed under the program; trying to open it again
        Identifying, // opened again; waiting for the instrument to answer
    };
    // How often the port's state is looked at, and how often a lost port is tried again.
    static constexpr int kCheckMs = 50;
    static constexpr int kRetryMs = 150;
    // How often the relocator is asked (listing the ports costs more than trying one).
    static constexpr int kRelocateMs = 1000;
    // The number under which the device that was in use is present now; 0 when it is not.
    using Relocator = std::function<int()>;

    ConnectionWatcher(SerialPort& port, SerialLink& link, QObject* parent = nullptr);

    // The program has just opened (or failed to open) the port it means to use: watch it.
    void watch();
    // While held (the boot loader has the line), a loss is reported but nothing is reopened.
    void setHeld(bool held);
    void setRelocator(Relocator relocator) { m_relocate = std::move(relocator); }
    bool held() const { return m_held; }
    State state() const { return m_state; }
    bool away() const { return m_state == State::Away || m_state == State::Identifying; }
    // The port last seen open: its number and device.
    int portNumber() const { return m_portNumber; }
    QString device() const { return m_device; }

signals:
    void lost();
    // The port opened again; the instrument has not answered yet.
    void reopened();
    // The instrument answered again with this identification.
    void returned(const QString& identification);

private:
    void check();
    // Opens the port, or the same device under the number the relocator gives.
    bool reopen();
    void setState(State state);

    SerialPort& m_port;
    SerialLink& m_link;
    QTimer m_timer;
    Relocator m_relocate;
    QElapsedTimer m_sinceRelocate;
    State m_state = State::Idle;
    int m_portNumber = 0;
    QString m_device;
    bool m_held = false;
};

} // namespace quarvel
