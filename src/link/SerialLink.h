#pragma once

#include "link/CommandFraming.h"

#include <QObject>
#include <QString>

namespace quarvel {

class Prompter;
class SerialPort;

// The line-based command channel to the instrument's application firmware: frames a command,
// writes it, waits a fixed time, reads the answer and takes the value out of it. It never opens,
// closes or configures the port.
//
// While an exchange or a delay waits, window painting and timers go on, but user input is held
// back until the wait ends, so a click can never start an exchange inside another one.
class SerialLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kReadWaitMs = 50;
    static constexpr int kWriteWaitMs = 25;
    static constexpr int kCommandWaitMs = 50;
    static inline const QString kRejectedMessage = QStringLiteral("Error sending command to servo!");
    static inline const QString kUnansweredMessage = QStringLiteral(
        "The QUARVEL did not answer, so nothing was confirmed. Check the connection and try again.");

    struct Read {
        QString value;
        ReadStatus status = ReadStatus::Unanswered;
    };

    SerialLink(SerialPort& port, Prompter& prompter, QObject* parent = nullptr);

    SerialPort& port() { return m_port; }
    Prompter& prompter() { return m_prompter; }

    // Value of one parameter; empty when rejected or without a usable answer.
    QString getValue(const QString& address, const QString& code) { return read(address, code).value; }
    // The value and what the answer was.
    Read read(const QString& address, const QString& code);
    // Writes one value and tells the user when the instrument rejects it. Unanswered is left to
    // the caller, which may write several values and say it once.
    Answer setValue(const QString& address, const QString& code, const QString& value);
    // Writes address + command (the caller supplies the CR); leaves the answer unread.
    void sendCommand(const QString& address, const QString& command);
    // Writes address + command (with its CR) and judges the answer as setValue() does, silently.
    Answer command(const QString& address, const QString& command);

    // Waits ms milliseconds with painting and timers alive. Nested delays end independently.
    void delay(double ms);
    // Waits until the system has taken every written byte, or the port is closed or failed.
    void waitTransmitDone();

    // True while any exchange or delay waits.
    bool busy() const { return m_depth > 0; }

    // While the instrument runs its boot loader no application line may reach it: the loader
    // takes every letter as a command ("D" writes an EEPROM byte, "A" sets an address). Meanwhile
    // reads return an empty text and writes and commands send nothing.
    void setBootLoaderActive(bool active) { m_bootLoaderActive = active; }
    bool bootLoaderActive() const { return m_bootLoaderActive; }

signals:
    // The last running exchange or delay has ended.
    void idle();

private:
    friend class BusyScope;
    void enter();
    void leave();
    QString exchange(const QString& line, int waitMs);
    // Time the line needs for `bytes` bytes at the port's speed (start, data, parity, stop bits).
    double lineTimeMs(qint64 bytes) const;
    // Writes the line and waits until it has left the port, then waitMs more.
    void writeAndWait(const QString& line, int waitMs);

    SerialPort& m_port;
    Prompter& m_prompter;
    int m_depth = 0;
    bool m_bootLoaderActive = false;
};

// Marks the link busy for the lifetime of a multi-step operation (a reload, a save, a sample).
class BusyScope {
public:
    explicit BusyScope(SerialLink& link) : m_link(link) { m_link.enter(); }
    ~BusyScope() { m_link.leave(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    SerialLink& m_link;
};

} // namespace quarvel
