#pragma once

#include <QString>

namespace quarvel {

// "Quarvel.ini" in the program's configuration folder: the port and speed last applied in the
// port settings dialog (section "Comm", keys "Port" and "BaudRate"). It only pre-fills that
// dialog; the program starts on its built-in port settings.
class PortSettingsFile {
public:
    static inline const QString kFileName = QStringLiteral("Quarvel.ini");
    static inline const QString kSection = QStringLiteral("Comm");
    static inline const QString kPortKey = QStringLiteral("Port");
    static inline const QString kBaudRateKey = QStringLiteral("BaudRate");
    static inline const QString kDefaultPort = QStringLiteral("1");
    static inline const QString kDefaultBaudRate = QStringLiteral("9600");
    // A value comes back with at most this many characters, then stripped of blanks.
    static constexpr int kValueLimit = 19;

    struct Values {
        QString port = kDefaultPort;
        QString baudRate = kDefaultBaudRate;
    };

    explicit PortSettingsFile(QString configFolder);

    QString path() const;

    // The stored values; the defaults for a missing file, section or key. An unreadable file
    // also gives the defaults and leaves its reason in errorString().
    Values read();
    // Stores both values exactly as given, keeping the rest of the file. False, with the reason
    // in errorString(), when the file cannot be written (nothing is half written).
    bool write(const QString& port, const QString& baudRate);

    QString errorString() const { return m_error; }

private:
    QString m_folder;
    QString m_error;
};

} // namespace quarvel
