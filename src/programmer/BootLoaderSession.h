#pragma once

#include "programmer/BootLoaderIdentifier.h"
#include "programmer/RunningLoaderNote.h"

#include <QObject>
#include <QString>

namespace quarvel {

class SerialLink;
class SerialPort;

// The instrument's boot loader on the line: entering it ("1pgm", the switch to the loader's port
// settings, identification) and leaving it ("G", then the settings in force before). It is left
// only when the caller asks, so the caller decides whether the loader keeps running. While the
// session is active the command channel refuses application exchanges: the loader would take
// their letters as commands.
class BootLoaderSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kLoaderStartMs = 1000;

    BootLoaderSession(SerialPort& port, SerialLink& link, QObject* parent = nullptr);

    // Keeps the note of a running loader in this configuration folder: set from "1pgm" (or from a
    // loader found running) until "G", so a loader left running, by choice or by a crash, is
    // looked for at its own speed first.
    void useNoteIn(const QString& configFolder) { m_note = RunningLoaderNote(configFolder); }

    // Tells the application to start its loader, remembers the port settings, reopens the port at
    // the loader's and identifies it. Active from "1pgm" on, whatever the loader answers: the
    // instrument may be listening as its loader even when it said nothing.
    Identification enter();
    // Looks for a loader that is already running (no application answered, as after a programming
    // that stopped part-way): reopens the port at the loader's settings and identifies it, without
    // "1pgm". Active when the loader answered; otherwise the port is back at its settings.
    Identification findRunning();
    // Asks only for the programmer identifier at the loader's settings, which changes nothing, and
    // puts the port back at its settings: true when a loader answered.
    bool answersAtLoaderSpeed();
    // Tells the loader to start the application, then closes and reopens the port, at the settings
    // in force before entry when this session entered the loader. False (the reason in the port's
    // errorString()) when it does not open.
    bool leave();

    bool active() const;
    // The port settings in force before the loader was entered; empty until it has been.
    QString savedPortSettings() const { return m_savedPortSettings; }

    // The loader's lock and fuse bits in hexadecimal, asked again; nothing when it did not answer.
    std::optional<QString> lockBits();
    std::optional<QString> fuseBits();

signals:
    void activeChanged(bool active);

private:
    void setActive(bool active);

    SerialPort& m_port;
    SerialLink& m_link;
    BootLoaderIdentifier m_identifier;
    QString m_savedPortSettings;
    RunningLoaderNote m_note{QString()};
};

} // namespace quarvel
