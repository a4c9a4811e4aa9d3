#pragma once

#include <QString>

namespace quarvel {

// The program's per-user configuration folder ("Quarvel.ini" and the com<N> links live there).
QString configurationFolder();

// The folder of the devices that port numbers name by default: /dev, or the folder that the
// environment variable QUARVEL_DEVICE_FOLDER names (tests and the virtual instrument set it).
QString defaultDeviceFolder();
// The device port number n names when no com<N> entry names one: <folder>/ttyUSB<n-1>.
QString defaultDeviceForPort(int portNumber);

// What port number n leads to before any link is followed: "COM<n>" on Windows; elsewhere the
// target of the entry "com<n>" in the configuration folder, as the link gives it (also while that
// target is absent: a link to an unplugged adapter names no other device), or the default device
// when there is no such entry. The same target after an unplug means the same device.
QString portTarget(int portNumber, const QString& configFolder);

// The device a path leads to, followed through links; the path itself when it leads nowhere.
QString canonicalDevice(const QString& path);

// The device port number n names: its target, followed through links.
QString deviceForPort(int portNumber, const QString& configFolder);

} // namespace quarvel
