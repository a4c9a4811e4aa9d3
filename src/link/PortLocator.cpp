#include "link/PortLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quarvel {

QString configurationFolder()
{
    // AppConfigLocation is built from the organisation and application names; the program sets
    // the application name "Quarvel" and no organisation.
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString defaultDeviceFolder()
{
    const QString folder = qEnvironmentVariable("QUARVEL_DEVICE_FOLDER");
    return folder.isEmpty() ? QStringLiteral("/dev") : folder;
}

QString defaultDeviceForPort(int portNumber)
{
    return QDir(defaultDeviceFolder()).filePath(QStringLiteral("ttyUSB%1").arg(portNumber - 1));
}

QString portTarget(int portNumber, const QString& configFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(configFolder);
    return QStringLiteral("COM%1").arg(portNumber);
#else
    if (!configFolder.isEmpty()) { // no folder: not the working directory
        const QFileInfo entry(QDir(configFolder).filePath(QStringLiteral("com%1").arg(portNumber)));
        if (entry.isSymLink())
            return entry.symLinkTarget();
        if (entry.exists())
            return entry.absoluteFilePath();
    }
    return defaultDeviceForPort(portNumber);
#endif
}

QString deviceForPort(int portNumber, const QString& configFolder)
{
    const QString target = portTarget(portNumber, configFolder);
#ifndef Q_OS_WIN
    const QString device = QFileInfo(target).canonicalFilePath();
    if (!device.isEmpty())
        return device;
#endif
    return target;
}

QString canonicalDevice(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

} // namespace quarvel
