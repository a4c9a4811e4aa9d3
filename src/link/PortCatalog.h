#pragma once

#include "link/PortInfo.h"

#include <QList>
#include <QString>

namespace quarvel {

// The serial ports present, each once: the system's ports and the devices that com<N> links in
// the configuration folder name (a virtual instrument's pseudo-terminal, for instance), each with
// the port number that opens it. Sorted by port number, unnumbered ports last.
class PortCatalog {
public:
    static QList<PortInfo> list(const QString& configFolder);

    // The port a number opens, from a list; nothing (number 0) when it is not in the list.
    static PortInfo find(const QList<PortInfo>& ports, int portNumber);
    // The listed port with this identity, or else this device; nothing when neither is present.
    static PortInfo findRemembered(const QList<PortInfo>& ports, const QString& identity, const QString& device);

    // The identity of a listed device when it tells that adapter apart from any other: it holds a
    // serial number and no other listed port shares it. Empty otherwise (adapters of one kind
    // without a serial number look alike, and a by-id name may then pass from one to the other).
    static QString distinctIdentity(const QList<PortInfo>& ports, const QString& device);
    // The one listed port with this identity; nothing when none or several have it.
    static PortInfo findByIdentity(const QList<PortInfo>& ports, const QString& identity);

    // The number of a device: the lowest N whose com<N> link names it already, or that names it as
    // its default device; else a new link com<N> to it in the configuration folder, with the lowest
    // N that names nothing yet (no com<N> entry, and no default device /dev/ttyUSB<N-1> present).
    // The number, or 0 (with the reason in error) when the link cannot be made.
    static int assignNumber(const QString& device, const QString& configFolder, QString* error = nullptr);
};

} // namespace quarvel
