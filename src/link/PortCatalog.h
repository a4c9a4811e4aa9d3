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

    // Gives an unnumbered device a number by making a link com<N> to it in the configuration
    // folder, with the lowest N that names nothing yet. The number, or 0 (with the reason in
    // error) when the link cannot be made.
    static int assignNumber(const QString& device, const QString& configFolder, QString* error = nullptr);
};

} // namespace quarvel
