#pragma once

#include "link/SerialPort.h"
#include "sim/SimLine.h"

#include <QStringList>

namespace quarvel::sim {

class VirtualInstrument;

// A SerialPort connected straight to a virtual instrument in this process, in real time: bytes
// arrive when the instrument's paced line would deliver them.
class SimulatedSerialPort : public SerialPort {
public:
    explicit SimulatedSerialPort(VirtualInstrument& instrument);

    int portNumber() const override { return m_portNumber; }
    void setPortNumber(int number) override { m_portNumber = number; }
    QString deviceName() const override { return QStringLiteral("virtual instrument"); }
    QString settings() const override { return m_settings; }
    bool setSettings(const QString& settings) override;

    bool isOpen() const override { return m_open; }
    bool open() override;
    void close() override { m_open = false; }
    QString errorString() const override { return m_error; }

    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesToWrite() override { return 0; }
    qint64 bytesAvailable() override;
    bool waitForBytes(int msecs) override;

    // Everything the program has written since the port was made, for tests to inspect.
    const QByteArray& written() const { return m_written; }
    void clearWritten() { m_written.clear(); }
    // Settings in force at each write, in order (the line speed the bytes went out at).
    const QStringList& settingsAtWrite() const { return m_settingsAtWrite; }

private:
    void collect();

    VirtualInstrument& m_instrument;
    SimLine m_line;
    QByteArray m_received;
    QByteArray m_written;
    QStringList m_settingsAtWrite;
    QString m_settings;
    QString m_error;
    int m_portNumber = 1;
    bool m_open = false;
};

} // namespace quarvel::sim
