#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// One serial port as the user sees it: the system's device with what the system knows of it,
// and the port number the program uses for it.
struct PortInfo {
    QString device;       // /dev/ttyUSB0, COM3, or the target of a com<N> link
    QString description;  // as the system gives it; empty when unknown
    QString manufacturer;
    QString serialNumber;
    QString usbId;        // "0403:6001" for a USB device
    QString identity;     // a name that stays with the device: its /dev/serial/by-id path, or
                          // vendor:product:serial number; empty when the system has none
    QString linkName;     // "com3" when a link in the configuration folder names it
    int portNumber = 0;   // the program's number for it; 0 when no number names it
};

// How both front ends name a port: "port 3, /dev/ttyUSB2", or the device alone without a number.
inline QString portTitle(int portNumber, const QString& device)
{
    return portNumber > 0 ? QStringLiteral("port %1, %2").arg(portNumber).arg(device) : device;
}
inline QString portTitle(const PortInfo& port)
{
    return portTitle(port.portNumber, port.device);
}

// What the system says of a port, each fact once: "FT232R USB UART, FTDI, 0403:6001"; empty when
// it says nothing.
inline QString portDescription(const PortInfo& port)
{
    QStringList parts;
    for (const QString& part : {port.description, port.manufacturer, port.usbId}) {
        if (!part.isEmpty() && !parts.contains(part))
            parts << part;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace quarvel
