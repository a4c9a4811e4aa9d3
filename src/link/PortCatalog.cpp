#include "link/PortCatalog.h"

#include "link/PortLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace quarvel {

namespace {

// Port numbers the program accepts (the command line's range).
constexpr int kHighestPortNumber = 255;

// The com<N> entries of the configuration folder: N and the device each names.
QList<QPair<int, QString>> links(const QString& configFolder)
{
    QList<QPair<int, QString>> found;
#ifndef Q_OS_WIN
    if (configFolder.isEmpty())
        return found; // no folder: not the working directory
    static const QRegularExpression name(QStringLiteral("^com([1-9][0-9]{0,2})$"));
    const QDir folder(configFolder);
    const QFileInfoList entries = folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const auto match = name.match(entry.fileName());
        if (!match.hasMatch() || match.captured(1).toInt() > kHighestPortNumber)
            continue;
        // A link whose device is gone still names it (an unplugged adapter, a stopped simulator).
        const QString target = entry.isSymLink() ? entry.symLinkTarget() : entry.absoluteFilePath();
        found.append({match.captured(1).toInt(), canonicalDevice(target)});
    }
#else
    Q_UNUSED(configFolder);
#endif
    return found;
}

// The /dev/serial/by-id name of a device, the name that follows the adapter wherever it appears.
QString byIdPath(const QString& device)
{
#ifdef Q_OS_LINUX
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& entry : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (entry.canonicalFilePath() == device)
            return entry.absoluteFilePath();
    }
#else
    Q_UNUSED(device);
#endif
    return {};
}

PortInfo describe(const QSerialPortInfo& system)
{
    PortInfo info;
#ifdef Q_OS_WIN
    info.device = system.portName(); // COM3, as the program names it
#else
    info.device = system.systemLocation();
#endif
    info.description = system.description();
    info.manufacturer = system.manufacturer();
    info.serialNumber = system.serialNumber();
    if (system.hasVendorIdentifier() && system.hasProductIdentifier())
        info.usbId = QStringLiteral("%1:%2")
                         .arg(system.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(system.productIdentifier(), 4, 16, QLatin1Char('0'));
    info.identity = byIdPath(info.device);
    if (info.identity.isEmpty() && !info.usbId.isEmpty() && !info.serialNumber.isEmpty())
        info.identity = info.usbId + QLatin1Char(':') + info.serialNumber;
    return info;
}

} // namespace

QList<PortInfo> PortCatalog::list(const QString& configFolder)
{
    QList<PortInfo> ports;
    for (const QSerialPortInfo& system : QSerialPortInfo::availablePorts())
        ports.append(describe(system));
    const auto named = links(configFolder);
    for (const auto& [number, device] : named) {
        auto it = std::find_if(ports.begin(), ports.end(), [&](const PortInfo& p) { return p.device == device; });
        if (it == ports.end()) {
            if (!QFileInfo::exists(device))
                continue; // nothing behind the link now
            PortInfo linked;
            linked.device = device;
            ports.append(linked);
            it = ports.end() - 1;
        }
        if (it->portNumber == 0 || number < it->portNumber) {
            it->portNumber = number;
            it->linkName = QStringLiteral("com%1").arg(number);
        }
    }
    // Without a link, the number that names a system port by default (COM<N>, /dev/ttyUSB<N-1>).
    for (PortInfo& port : ports) {
        for (int n = 1; port.portNumber == 0 && n <= kHighestPortNumber; ++n) {
            const bool claimed = std::any_of(named.begin(), named.end(), [n](const auto& l) { return l.first == n; });
            if (!claimed && deviceForPort(n, configFolder) == port.device)
                port.portNumber = n;
        }
    }
    std::stable_sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
        const int ka = a.portNumber > 0 ? a.portNumber : kHighestPortNumber + 1;
        const int kb = b.portNumber > 0 ? b.portNumber : kHighestPortNumber + 1;
        return ka < kb;
    });
    return ports;
}

PortInfo PortCatalog::find(const QList<PortInfo>& ports, int portNumber)
{
    for (const PortInfo& port : ports) {
        if (portNumber > 0 && port.portNumber == portNumber)
            return port;
    }
    return {};
}

PortInfo PortCatalog::findRemembered(const QList<PortInfo>& ports, const QString& identity, const QString& device)
{
    for (const PortInfo& port : ports) {
        if (!identity.isEmpty() && port.identity == identity)
            return port;
    }
    for (const PortInfo& port : ports) {
        if (!device.isEmpty() && port.device == device)
            return port;
    }
    return {};
}

QString PortCatalog::distinctIdentity(const QList<PortInfo>& ports, const QString& device)
{
    const auto it = std::find_if(ports.begin(), ports.end(), [&](const PortInfo& p) { return p.device == device; });
    if (it == ports.end() || it->identity.isEmpty() || it->serialNumber.isEmpty())
        return {};
    const bool shared = std::any_of(ports.begin(), ports.end(), [&](const PortInfo& p) {
        return p.device != device
            && (p.identity == it->identity || (p.serialNumber == it->serialNumber && p.usbId == it->usbId));
    });
    return shared ? QString() : it->identity;
}

PortInfo PortCatalog::findByIdentity(const QList<PortInfo>& ports, const QString& identity)
{
    if (identity.isEmpty())
        return {};
    PortInfo found;
    for (const PortInfo& port : ports) {
        if (port.identity != identity)
            continue;
        if (!found.device.isEmpty())
            return {};
        found = port;
    }
    return found;
}

int PortCatalog::assignNumber(const QString& device, const QString& configFolder, QString* error)
{
    const auto named = links(configFolder);
    const QString wanted = canonicalDevice(device);
    for (int n = 1; n <= kHighestPortNumber; ++n) {
        const auto link = std::find_if(named.begin(), named.end(), [n](const auto& l) { return l.first == n; });
        if (link != named.end() ? link->second == wanted : canonicalDevice(defaultDeviceForPort(n)) == wanted)
            return n; // one number per device
    }
    for (int n = 1; n <= kHighestPortNumber; ++n) {
        const bool claimed = std::any_of(named.begin(), named.end(), [n](const auto& l) { return l.first == n; })
            || QFileInfo::exists(defaultDeviceForPort(n));
        if (claimed)
            continue;
        const QString link = QDir(configFolder).filePath(QStringLiteral("com%1").arg(n));
        if (QDir().mkpath(configFolder) && QFile::link(device, link))
            return n;
        if (error)
            *error = QCoreApplication::translate("quarvel::PortCatalog", "The link %1 to %2 could not be made.")
                         .arg(link, device);
        return 0;
    }
    if (error)
        *error = QCoreApplication::translate("quarvel::PortCatalog", "Every port number is taken.");
    return 0;
}

} // namespace quarvel
