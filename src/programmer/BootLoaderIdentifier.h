#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace quarvel {

class SerialLink;
class SerialPort;

// What the boot loader told about itself; a box is changed only where a value is given.
struct Identification {
    std::optional<QString> programmer;
    std::optional<QString> softwareVersion;
    std::optional<QString> hardwareVersion;
    std::optional<QString> signature; // set (perhaps empty) once the signature was asked for
    QList<int> signatureBytes;
    std::optional<QString> lockBits;
    std::optional<QString> fuseBits;
    QString error; // the port could not be reopened at the loader's settings
};

// Tells the running firmware to start its boot loader, switches the port to the loader's settings,
// asks the loader who it is and blinks the instrument's LED.
class ProgrammingModeEntry {
public:
    static constexpr int kLoaderStartMs = 1000;
    static constexpr int kLedBlinks = 5;

    ProgrammingModeEntry(SerialPort& port, SerialLink& link) : m_port(port), m_link(link) {}

    // savePortSettings receives the settings in force before the switch.
    Identification run(QString& savePortSettings);

    // The loader's lock and fuse bits in hexadecimal; nothing when it did not answer.
    std::optional<QString> lockBits();
    std::optional<QString> fuseBits();

    // Tells the loader to start the application, then reopens the port, at restoreSettings when
    // they are given. False (the reason in the port's errorString()) when it does not open.
    bool leave(const QString& restoreSettings);

private:
    // Writes the command (and its parameter, in the same write) and waits its fixed time.
    void send(char letter, const QByteArray& parameter = {});
    // The same, then returns everything received.
    QByteArray ask(char letter);

    SerialPort& m_port;
    SerialLink& m_link;
};

} // namespace quarvel
