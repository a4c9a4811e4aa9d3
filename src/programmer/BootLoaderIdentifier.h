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

// Asks a running boot loader who it is, with timed-delay exchanges, and blinks the instrument's LED.
class BootLoaderIdentifier {
public:
    static constexpr int kLedBlinks = 5;

    BootLoaderIdentifier(SerialPort& port, SerialLink& link) : m_port(port), m_link(link) {}

    // Programmer, versions, signature, lock and fuse bits, then the LED. A loader that does not
    // echo "S" is asked nothing more.
    Identification identify();

    // The programmer identifier alone ("S"); nothing when no loader answered.
    std::optional<QString> programmer();
    // The loader's lock and fuse bits in hexadecimal; nothing when it did not answer.
    std::optional<QString> lockBits();
    std::optional<QString> fuseBits();

private:
    // Writes the command (and its parameter, in the same write) and waits its fixed time.
    void send(char letter, const QByteArray& parameter = {});
    // The same, then returns everything received.
    QByteArray ask(char letter);

    SerialPort& m_port;
    SerialLink& m_link;
};

} // namespace quarvel
