#pragma once

#include "link/PortInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// The devices on which this program left the instrument's boot loader running (a flash that did
// not end in a verified application, a window closed in the Program tab), kept in the
// configuration folder. The next start of either front end asks such a device at the loader's
// speed first, so the loader never hears application lines sent at another speed: a UART reads
// them as other bytes, which the loader would take for commands. Without a folder nothing is kept.
class RunningLoaderNote {
public:
    static inline const QString kFileName = QStringLiteral("Quarvel-boot-loader.txt");

    explicit RunningLoaderNote(QString configFolder) : m_folder(std::move(configFolder)) {}

    bool holds(const QString& device) const;
    // The ports a search may ask at the application's speed: those without a noted loader. The
    // others are added to skipped, so the caller can name them.
    QList<PortInfo> searchable(const QList<PortInfo>& ports, QList<PortInfo>* skipped) const;
    // Best effort: a note that cannot be written only costs the next start its first look.
    void remember(const QString& device);
    void forget(const QString& device);

private:
    QString path() const;
    QStringList devices() const;
    void write(const QStringList& devices);

    QString m_folder;
};

} // namespace quarvel
