#pragma once

#include <QString>
#include <optional>

namespace quarvel {

// A settings string "speed,parity,data bits,stop bits", for example "9600,n,8,1".
struct PortSettings {
    int baudRate = 9600;
    char parity = 'n'; // 'n', 'e' or 'o'
    int dataBits = 8;
    int stopBits = 1;

    static std::optional<PortSettings> parse(const QString& text);
    QString toString() const;
    // Time the line needs for this many bytes: start, data, parity and stop bits of each.
    double lineTimeMs(qint64 bytes) const
    {
        const int bitsPerByte = 1 + dataBits + (parity == 'n' ? 0 : 1) + stopBits;
        return bytes * bitsPerByte * 1000.0 / baudRate;
    }
};

inline const QString kDefaultPortSettings = QStringLiteral("9600,n,8,1");
inline const QString kBootLoaderPortSettings = QStringLiteral("19200,n,8,1");

} // namespace quarvel
