#pragma once

#include "link/SerialPort.h"

#include <QObject>
#include <QSerialPort>

namespace quarvel {

// SerialPort on QSerialPort. A device that vanishes (an adapter pulled out, the virtual
// instrument ending) closes the port, which from then on behaves as any closed port.
class QtSerialPortAdapter : public QObject, public SerialPort {
    Q_OBJECT
public:
    // configFolder: where com<N> entries name devices (see deviceForPort).
    explicit QtSerialPortAdapter(QString configFolder, QObject* parent = nullptr);
    ~QtSerialPortAdapter() override;

    int portNumber() const override { return m_portNumber; }
    void setPortNumber(int number) override { m_portNumber = number; }
    QString settings() const override { return m_settings; }
    bool setSettings(const QString& settings) override;

    bool isOpen() const override { return m_port.isOpen(); }
    bool open() override;
    void close() override;
    QString errorString() const override { return m_error; }

    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesToWrite() override;
    qint64 bytesAvailable() override;
    bool waitForBytes(int msecs) override;

    // The device the current port number names, or the one given to useDevice().
    QString deviceName() const override;
    QString route() const override;
    // Opens this device whatever the port number (an empty path: the port number decides again).
    void useDevice(const QString& path) { m_device = path; }

private:
    void onError(QSerialPort::SerialPortError error);
    bool applySettings();
    QString describeOpenFailure() const;

    QString m_configFolder;
    QString m_device;
    QSerialPort m_port;
    int m_portNumber = 1;
    QString m_settings;
    QString m_error;
};

} // namespace quarvel
