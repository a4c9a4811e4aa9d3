#pragma once

#include "link/SerialPort.h"

namespace quarvel {

// A port that passes every call on to another port: the base of a decorator that watches one
// kind of call (what was written, what was read) and overrides only that.
class ForwardingPort : public SerialPort {
public:
    explicit ForwardingPort(SerialPort& inner) : m_inner(inner) {}

    int portNumber() const override { return m_inner.portNumber(); }
    void setPortNumber(int number) override { m_inner.setPortNumber(number); }
    QString deviceName() const override { return m_inner.deviceName(); }
    QString route() const override { return m_inner.route(); }
    QString settings() const override { return m_inner.settings(); }
    bool setSettings(const QString& settings) override { return m_inner.setSettings(settings); }
    bool isOpen() const override { return m_inner.isOpen(); }
    bool open() override { return m_inner.open(); }
    void close() override { m_inner.close(); }
    QString errorString() const override { return m_inner.errorString(); }
    void write(const QByteArray& bytes) override { m_inner.write(bytes); }
    QByteArray readAll() override { return m_inner.readAll(); }
    qint64 bytesToWrite() override { return m_inner.bytesToWrite(); }
    qint64 bytesAvailable() override { return m_inner.bytesAvailable(); }
    bool waitForBytes(int msecs) override { return m_inner.waitForBytes(msecs); }

protected:
    SerialPort& inner() { return m_inner; }
    const SerialPort& inner() const { return m_inner; }

private:
    SerialPort& m_inner;
};

} // namespace quarvel
