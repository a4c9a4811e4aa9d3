#include "link/QtSerialPortAdapter.h"

#include "link/PortLocator.h"
#include "link/PortSettings.h"

#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace quarvel {

namespace {

QSerialPort::Parity toQtParity(char parity)
{
    switch (parity) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    default: return QSerialPort::NoParity;
    }
}

// USB serial adapters hold received bytes for 16 ms by default; the boot loader's one-byte
// acknowledgements would each pay that. Refused on pseudo-terminals, which is harmless.
void requestLowLatency([[maybe_unused]] QSerialPort& port)
{
#ifdef Q_OS_LINUX
    serial_struct serial {};
    const int fd = static_cast<int>(port.handle());
    if (fd >= 0 && ::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd, TIOCSSERIAL, &serial);
    }
#endif
}

} // namespace

QtSerialPortAdapter::QtSerialPortAdapter(QString configFolder, QObject* parent)
    : QObject(parent), m_configFolder(std::move(configFolder)), m_settings(kDefaultPortSettings)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPortAdapter::onError);
}

QtSerialPortAdapter::~QtSerialPortAdapter()
{
    m_port.close();
}

QString QtSerialPortAdapter::deviceName() const
{
    return m_device.isEmpty() ? deviceForPort(m_portNumber, m_configFolder) : m_device;
}

QString QtSerialPortAdapter::route() const
{
    return m_device.isEmpty() ? portTarget(m_portNumber, m_configFolder) : m_device;
}

bool QtSerialPortAdapter::setSettings(const QString& settings)
{
    if (!PortSettings::parse(settings))
        return false;
    m_settings = settings;
    if (m_port.isOpen())
        applySettings();
    return true;
}

bool QtSerialPortAdapter::applySettings()
{
    const auto s = PortSettings::parse(m_settings);
    if (!s)
        return false;
    // Pseudo-terminals refuse modem-control lines; none are touched here.
    return m_port.setBaudRate(s->baudRate) && m_port.setParity(toQtParity(s->parity))
        && m_port.setDataBits(static_cast<QSerialPort::DataBits>(s->dataBits))
        && m_port.setStopBits(s->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
        && m_port.setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPortAdapter::open()
{
    if (m_port.isOpen())
        return true;
    m_port.setPortName(deviceName());
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_error = describeOpenFailure();
        return false;
    }
    applySettings();
    requestLowLatency(m_port);
    // Bytes left in the device from before this open (a pty keeps them) belong to no exchange.
    m_port.clear(QSerialPort::Input);
    m_port.clearError();
    m_error.clear();
    return true;
}

QString QtSerialPortAdapter::describeOpenFailure() const
{
    QString text = m_port.errorString();
    if (text.isEmpty())
        text = tr("The port could not be opened.");
    text = QStringLiteral("%1 (%2)").arg(text, deviceName());
#ifdef Q_OS_LINUX
    if (m_port.error() == QSerialPort::PermissionError)
        text += tr("\nOn Linux, access to serial devices is usually granted by membership of the "
                   "group \"dialout\" (sudo adduser $USER dialout, then log in again).");
#endif
    return text;
}

void QtSerialPortAdapter::close()
{
    // Closing a closed port would replace the reason it closed with "not open".
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPortAdapter::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError: // after a wait; not a failure of the device
    case QSerialPort::NotOpenError: // a use of the closed port; the reason it closed stays
        return;
    case QSerialPort::OpenError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
        return; // reported by open()
    default:
        break;
    }
    // A vanished device shows as an endless stream of read errors until the port is closed.
    // Their system text is often a stale one ("Inappropriate ioctl for device").
    m_error = tr("The connection to %1 was lost (%2).").arg(m_port.portName(), m_port.errorString());
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void QtSerialPortAdapter::write(const QByteArray& bytes)
{
    if (m_port.isOpen())
        m_port.write(bytes);
}

QByteArray QtSerialPortAdapter::readAll()
{
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

qint64 QtSerialPortAdapter::bytesToWrite()
{
    return m_port.isOpen() ? m_port.bytesToWrite() : 0;
}

qint64 QtSerialPortAdapter::bytesAvailable()
{
    return m_port.isOpen() ? m_port.bytesAvailable() : 0;
}

bool QtSerialPortAdapter::waitForBytes(int msecs)
{
    if (!m_port.isOpen())
        return false;
    const bool arrived = m_port.waitForReadyRead(msecs);
    if (!arrived)
        m_port.clearError(); // a time-out stays set otherwise
    return arrived && m_port.isOpen();
}

} // namespace quarvel
