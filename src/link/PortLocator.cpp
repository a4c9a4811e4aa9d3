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

QString deviceForPort(int portNumber, const QString& configFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(configFolder);
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QFileInfo entry(QDir(configFolder).filePath(QStringLiteral("com%1").arg(portNumber)));
    if (entry.exists()) {
        const QString target = entry.canonicalFilePath();
        return target.isEmpty() ? entry.absoluteFilePath() : target;
    }
    return QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 1);
#endif
}

} // namespace quarvel
