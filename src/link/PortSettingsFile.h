#pragma once

#include <QString>

namespace quarvel {

// "Quarvel.ini" in the program's configuration folder: the port and speed last applied in the
// port settings dialog (section "Comm", keys "Port" and "BaudRate"). It only pre-fills that
// dialog; the program starts on its built-in port settings. The program's own keys "Device" and
// "Identity" remember where the instrument last answered, so the start-up can offer it; files
// without them read as before.
class PortSettingsFile {
public:
    static inline const QString kFileName = QStringLiteral("Quarvel.ini");
    static inline const QString kSection = QStringLiteral("Comm");
    static inline const QString kPortKey = QStringLiteral("Port");
    static inline const QString kBaudRateKey = QStringLiteral("BaudRate");
    static inline const QString kDefaultPort = QStringLiteral("1");
    static inline const QString kDefaultBaudRate = QStringLiteral("9600");
    static inline const QString kDeviceKey = QStringLiteral("Device");
    static inline const QString kIdentityKey = QStringLiteral("Identity");
    // A value comes back with at most this many characters, then stripped of blanks.
    static constexpr int kValueLimit = 19;

    struct Values {
        QString port = kDefaultPort;
        QString baudRate = kDefaultBaudRate;
        QString device;   // empty when never remembered
        QString identity;
    };

    explicit PortSettingsFile(QString configFolder);

    QString path() const;

    // The stored values; the defaults for a missing file, section or key. An unreadable file
    // also gives the defaults and leaves its reason in errorString().
    Values read();
    // Stores both values exactly as given, keeping the rest of the file. False, with the reason
    // in errorString(), when the file cannot be written (nothing is half written).
    bool write(const QString& port, const QString& baudRate);
    // Remembers the device where the instrument answered (and its identity, when the system
    // knows one), keeping the rest of the file. Nothing is written when both are as stored.
    bool rememberDevice(const QString& device, const QString& identity);

    QString errorString() const { return m_error; }

private:
    bool writeValues(const QList<QPair<QString, QString>>& values);

    QString m_folder;
    QString m_error;
};

} // namespace quarvel
