#pragma once

#include "link/SerialPort.h"

#include <QByteArray>

#include <utility>

// A port whose far end answers each write with the next piece of the fuzzer's bytes: the first
// byte of a piece gives its length (0 to 7), the rest is what arrives.
class FuzzPort : public quarvel::SerialPort {
public:
    explicit FuzzPort(QByteArray input) : m_input(std::move(input)) {}

    int portNumber() const override { return 1; }
    void setPortNumber(int) override {}
    QString deviceName() const override { return QStringLiteral("fuzz"); }
    QString settings() const override { return QStringLiteral("19200,n,8,1"); }
    bool setSettings(const QString&) override { return true; }
    bool isOpen() const override { return true; }
    bool open() override { return true; }
    void close() override {}
    QString errorString() const override { return {}; }
    void write(const QByteArray&) override
    {
        if (m_input.isEmpty())
            return;
        const int length = static_cast<quint8>(m_input.at(0)) % 8;
        m_received += m_input.mid(1, length);
        m_input.remove(0, 1 + length);
    }
    QByteArray readAll() override { return std::exchange(m_received, {}); }
    qint64 bytesToWrite() override { return 0; }
    qint64 bytesAvailable() override { return m_received.size(); }
    bool waitForBytes(int) override { return false; }
    bool exhausted() const { return m_input.isEmpty(); }

private:
    QByteArray m_input;
    QByteArray m_received;
};
