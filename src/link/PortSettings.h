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
};

inline const QString kDefaultPortSettings = QStringLiteral("9600,n,8,1");
inline const QString kBootLoaderPortSettings = QStringLiteral("19200,n,8,1");

} // namespace quarvel
