#include "link/PortArrivalWatcher.h"

#include "link/PortCatalog.h"
#include "link/PortLocator.h"
#include "link/PortSettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace quarvel {

PortArrivalWatcher::PortArrivalWatcher(QString configFolder, QObject* parent)
    : QObject(parent), m_configFolder(std::move(configFolder))
{
    connect(&m_timer, &QTimer::timeout, this, &PortArrivalWatcher::look);
}

void PortArrivalWatcher::start()
{
    m_known = presentDevices();
    m_timer.start(kLookMs);
}

void PortArrivalWatcher::stop()
{
    m_timer.stop();
}

QSet<QString> PortArrivalWatcher::presentDevices() const
{
    QSet<QString> devices;
#ifdef Q_OS_WIN
    // The system's list: read from the registry, no port is opened.
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        devices.insert(port.portName());
#else
    // The names serial drivers give their devices (USB adapters, on-board and Bluetooth ports).
    static const QStringList kSerialNames{
        QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*"),   QStringLiteral("ttyAMA*"),
        QStringLiteral("ttyO*"),   QStringLiteral("ttyGS*"),  QStringLiteral("ttyMI*"),  QStringLiteral("ttymxc*"),
        QStringLiteral("ttyTHS*"), QStringLiteral("rfcomm*"), QStringLiteral("cu.*")};
    const QDir folder(m_deviceFolder);
    for (const QFileInfo& entry : folder.entryInfoList(kSerialNames, QDir::System | QDir::Files))
        devices.insert(canonicalDevice(entry.absoluteFilePath()));
    if (!m_configFolder.isEmpty()) {
        static const QRegularExpression linkName(QStringLiteral("^com[1-9][0-9]{0,2}$"));
        const QDir links(m_configFolder);
        for (const QFileInfo& entry : links.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (linkName.match(entry.fileName()).hasMatch() && entry.exists()) // a dangling link names nothing
                devices.insert(canonicalDevice(entry.absoluteFilePath()));
        }
    }
#endif
    return devices;
}

void PortArrivalWatcher::look()
{
    const QSet<QString> now = presentDevices();
    QStringList added(now.begin(), now.end());
    added.removeIf([this](const QString& device) { return m_known.contains(device); });
    QStringList removed(m_known.begin(), m_known.end());
    removed.removeIf([&now](const QString& device) { return now.contains(device); });
    m_known = now; // before anyone hears of it: a listener may run the event loop
    for (const QString& device : removed)
        emit gone(device);
    if (added.isEmpty())
        return;
    std::sort(added.begin(), added.end());
    const QList<PortInfo> ports = PortCatalog::list(m_configFolder);
    const QString portOne = portOneDevice();
    for (const QString& device : added) {
        const auto listed =
            std::find_if(ports.begin(), ports.end(), [&](const PortInfo& p) { return p.device == device; });
        PortInfo port = listed != ports.end() ? *listed : PortInfo{};
        port.device = device;
        if (port.portNumber == 0 && device == portOne)
            port.portNumber = 1;
        emit appeared(port);
    }
}

QString PortArrivalWatcher::portOneDevice() const
{
#ifndef Q_OS_WIN
    if (!m_configFolder.isEmpty()) {
        const QFileInfo link(QDir(m_configFolder).filePath(QStringLiteral("com1")));
        if (link.isSymLink())
            return canonicalDevice(link.symLinkTarget());
        if (link.exists())
            return canonicalDevice(link.absoluteFilePath());
    }
    // No link: the default device, in the device folder the watcher looks at.
    QString device = deviceForPort(1, m_configFolder);
    if (device.startsWith(QLatin1String("/dev/")))
        device = QDir(m_deviceFolder).filePath(device.mid(5));
    return canonicalDevice(device);
#else
    return deviceForPort(1, m_configFolder);
#endif
}

bool PortArrivalWatcher::isExpected(const PortInfo& port) const
{
    if (port.portNumber == 1 || port.device == portOneDevice())
        return true;
    if (m_configFolder.isEmpty())
        return false;
    const PortSettingsFile::Values stored = PortSettingsFile(m_configFolder).read();
    if (!stored.identity.isEmpty() && !port.identity.isEmpty())
        return stored.identity == port.identity; // another adapter may sit on the same device node
    return !stored.device.isEmpty() && stored.device == port.device;
}

} // namespace quarvel
