#pragma once

#include "link/PortInfo.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

namespace quarvel {

// Notices serial ports that appear and go while the program runs. It looks at names only: the
// serial devices in the device folder (/dev) and the com<N> links of the configuration folder
// (on Windows, the system's list of ports), every half second. Noticing opens no port and sends
// nothing; a port is described (number, description, identity) only once it has appeared.
class PortArrivalWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kLookMs = 500;

    explicit PortArrivalWatcher(QString configFolder, QObject* parent = nullptr);

    // The folder that stands for /dev; tests give one of their own.
    void setDeviceFolder(const QString& folder) { m_deviceFolder = folder; }

    // Takes the ports present now as known, and from then on reports what appears and goes.
    void start();
    void stop();

    // The devices present now, by name; nothing is opened.
    QSet<QString> presentDevices() const;

    // A port the program asks by itself when it appears: port 1 (the target of the com1 link, or
    // without one its default device), or the adapter where a Quarvel last answered ("Device" and
    // "Identity" in Quarvel.ini; by identity where both sides know one). Any other port is only
    // offered to the user.
    bool isExpected(const PortInfo& port) const;

signals:
    void appeared(const quarvel::PortInfo& port);
    void gone(const QString& device);

private:
    void look();
    // The device port 1 names now; while a com1 link names a device that is gone, still that one.
    QString portOneDevice() const;

    QString m_configFolder;
    QString m_deviceFolder = QStringLiteral("/dev");
    QSet<QString> m_known;
    QTimer m_timer;
};

} // namespace quarvel
