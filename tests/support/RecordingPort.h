#pragma once

#include "link/SerialPort.h"

#include <QByteArrayList>
#include <QStringList>

namespace quarvel::test {

// Passes everything to another port and keeps a copy of every write, with the settings the port
// had when it was written.
class RecordingPort : public SerialPort {
public:
    explicit RecordingPort(SerialPort& inner) : m_inner(inner) {}

    int portNumber() const override { return m_inner.portNumber(); }
    void setPortNumber(int number) override { m_inner.setPortNumber(number); }
    QString deviceName() const override { return m_inner.deviceName(); }
    QString settings() const override { return m_inner.settings(); }
    bool setSettings(const QString& settings) override { return m_inner.setSettings(settings); }
    bool isOpen() const override { return m_inner.isOpen(); }
    bool open() override { return m_inner.open(); }
    void close() override { m_inner.close(); }
    QString errorString() const override { return m_inner.errorString(); }
    void write(const QByteArray& bytes) override
    {
        writes.append(bytes);
        settingsAtWrite.append(m_inner.settings());
        m_inner.write(bytes);
    }
    QByteArray readAll() override { return m_inner.readAll(); }
    qint64 bytesToWrite() override { return m_inner.bytesToWrite(); }
    qint64 bytesAvailable() override { return m_inner.bytesAvailable(); }
    bool waitForBytes(int msecs) override { return m_inner.waitForBytes(msecs); }

    // The text written from write number `from` on, split at each CR (what follows the last CR is
    // left out).
    QStringList lines(int from = 0) const
    {
        QStringList out = QString::fromLatin1(writes.mid(from).join()).split(QLatin1Char('\r'));
        out.removeLast(); // what follows the last CR
        return out;
    }

    QByteArrayList writes;
    QStringList settingsAtWrite;

private:
    SerialPort& m_inner;
};

} // namespace quarvel::test
