#pragma once

#include "link/SerialPort.h"

#include <QByteArrayList>

#include <functional>

namespace quarvel::test {

// An in-memory port: records every write, answers through a responder, fails on request.
class FakeSerialPort : public SerialPort {
public:
    using Responder = std::function<QByteArray(const QByteArray& written)>;

    int portNumber() const override { return m_portNumber; }
    void setPortNumber(int number) override { m_portNumber = number; }
    QString deviceName() const override { return QStringLiteral("fake device"); }
    // Where the port number leads now: another route stands for another device.
    QString route() const override { return m_route; }
    void setRoute(const QString& route) { m_route = route; }
    QString settings() const override { return m_settings; }
    bool setSettings(const QString& settings) override;

    bool isOpen() const override { return m_open; }
    bool open() override;
    void close() override { m_open = false; }
    QString errorString() const override { return m_error; }

    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesToWrite() override { return m_open ? m_pendingTransmit : 0; }
    qint64 bytesAvailable() override { return m_open ? m_received.size() : 0; }
    bool waitForBytes(int msecs) override;

    // What the instrument "sends" in answer to each write.
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // Bytes that arrive as if sent by the instrument.
    void feed(const QByteArray& bytes) { m_received.append(bytes); }
    // The next open() fails with this description.
    void failNextOpen(const QString& error) { m_openError = error; }
    // The device disappears: the port closes, later opens fail.
    void vanish();
    // The device is back: opens work again.
    void reappear() { m_vanished = false; }
    // Bytes that stay "untransmitted" (for the transmit-drain wait).
    void setPendingTransmit(qint64 bytes) { m_pendingTransmit = bytes; }

    QByteArray written() const { return m_writes.join(); }
    const QByteArrayList& writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }
    int openCount() const { return m_openCount; }

private:
    Responder m_responder;
    QByteArrayList m_writes;
    QByteArray m_received;
    QString m_settings = QStringLiteral("9600,n,8,1");
    QString m_route = QStringLiteral("fake device");
    QString m_error;
    QString m_openError;
    qint64 m_pendingTransmit = 0;
    int m_portNumber = 1;
    int m_openCount = 0;
    bool m_open = false;
    bool m_vanished = false;
};

} // namespace quarvel::test
