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
// brings the instrument back when the device that was lost is there again: the port's route (the
// device path, or the target of its com<N> link) is the same as before and opens, or the relocator
// finds the same adapter by its identity under another number. What the port number merely names
// now (the default device behind a dangling link, say) is never opened. It then repeats the
// identify exchange until the instrument answers, and reports the return only when the answer is
// the identification it had before; another instrument there is reported and left alone.
class ConnectionWatcher : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,        // not watching (no port in use, or the user's choice failed to open)
        Connected,   // the port is open
        Away,        // the port closed under the program; trying to open it again
        Identifying, // opened again; waiting for the instrument to answer
        Elsewhere,   // another instrument answered there: closed again, nothing more is tried
    };
    // How often the port's state is looked at, and how often a lost port is tried again.
    static constexpr int kCheckMs = 50;
    static constexpr int kRetryMs = 150;
    // How often the relocator is asked (listing the ports costs more than trying one).
    static constexpr int kRelocateMs = 1000;
    // The number under which the device that was in use is present now, found by an identity
    // that no other adapter shares; 0 when it is not.
    using Relocator = std::function<int()>;

    ConnectionWatcher(SerialPort& port, SerialLink& link, QObject* parent = nullptr);

    // The program has just opened (or failed to open) the port it means to use: watch it. The
    // identification is the instrument's answer there; empty when no instrument answered yet, and
    // then the first instrument that answers after an unplug counts as the one in use.
    void watch(const QString& identification = QString());
    // While held (the boot loader has the line), a loss is reported but nothing is reopened.
    void setHeld(bool held);
    void setRelocator(Relocator relocator) { m_relocate = std::move(relocator); }
    bool held() const { return m_held; }
    State state() const { return m_state; }
    // The instrument in use is not there (until the program watches a port anew).
    bool away() const { return m_state == State::Away || m_state == State::Identifying || m_state == State::Elsewhere; }
    // The port last seen open: its number and device.
    int portNumber() const { return m_portNumber; }
    QString device() const { return m_device; }
    // The instrument in use, as it identified itself; empty when unknown.
    QString identification() const { return m_identification; }

signals:
    void lost();
    // The port opened again; the instrument has not answered yet.
    void reopened();
    // The instrument answered again with this identification.
    void returned(const QString& identification);
    // The device is back, but another instrument answered there (its identification differs).
    // The port is closed again and nothing more is sent to it (state Elsewhere).
    void otherInstrument(const QString& identification);

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
    QString m_route;
    QString m_identification;
    bool m_held = false;
};

} // namespace quarvel
