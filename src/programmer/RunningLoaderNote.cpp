#include "programmer/RunningLoaderNote.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace quarvel {

QString RunningLoaderNote::path() const
{
    return m_folder.isEmpty() ? QString() : QDir(m_folder).filePath(kFileName);
}

QStringList RunningLoaderNote::devices() const
{
    QFile file(path());
    if (path().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void RunningLoaderNote::write(const QStringList& devices)
{
    if (path().isEmpty())
        return;
    if (devices.isEmpty()) {
        QFile::remove(path());
        return;
    }
    QDir().mkpath(m_folder);
    QSaveFile file(path());
    const QByteArray text = (devices.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(text) == text.size())
        file.commit();
}

bool RunningLoaderNote::holds(const QString& device) const
{
    return !device.isEmpty() && devices().contains(device);
}

QList<PortInfo> RunningLoaderNote::searchable(const QList<PortInfo>& ports, QList<PortInfo>* skipped) const
{
    const QStringList noted = devices();
    QList<PortInfo> result;
    for (const PortInfo& port : ports) {
        if (noted.contains(port.device))
            skipped->append(port);
        else
            result.append(port);
    }
    return result;
}

void RunningLoaderNote::remember(const QString& device)
{
    QStringList all = devices();
    if (device.isEmpty() || all.contains(device))
        return;
    all.append(device);
    write(all);
}

void RunningLoaderNote::forget(const QString& device)
{
    QStringList all = devices();
    if (all.removeAll(device) > 0)
        write(all);
}

} // namespace quarvel
