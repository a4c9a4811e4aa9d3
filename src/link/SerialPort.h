#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// Everything the program asks of a serial port. The program uses QtSerialPortAdapter; tests use
// an in-memory fake or the virtual instrument. Bytes are the wire form: one byte per character.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual int portNumber() const = 0;
    virtual void setPortNumber(int number) = 0;
    // The device the port number names (or the one chosen instead), for messages.
    virtual QString deviceName() const = 0;
    // What the port leads to before links are followed: the device chosen, or the target of the
    // port number's com<N> entry (see portTarget). It stays the same across an unplug and replug
    // only when the same device comes back there.
    virtual QString route() const { return deviceName(); }
    // Settings string such as "9600,n,8,1"; false (and nothing changed) when it is malformed.
    virtual QString settings() const = 0;
    virtual bool setSettings(const QString& settings) = 0;

    virtual bool isOpen() const = 0;
    virtual bool open() = 0;
    virtual void close() = 0;
    // Description of the last failure (open, write, a vanished device).
    virtual QString errorString() const = 0;

    virtual void write(const QByteArray& bytes) = 0;
    // Everything received so far; removes it from the receive buffer.
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesToWrite() = 0;
    virtual qint64 bytesAvailable() = 0;
    // Blocks without running window events until more bytes have arrived or msecs have passed.
    // False on time-out or when the port is (or becomes) closed.
    virtual bool waitForBytes(int msecs) = 0;
};

// The wire carries one byte per character (Latin-1), both ways.
inline QByteArray toWire(const QString& text) { return text.toLatin1(); }
inline QString fromWire(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

} // namespace quarvel
