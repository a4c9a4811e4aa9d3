#pragma once

#include "sim/Chunk.h"

#include <QMap>
#include <QString>

#include <optional>
#include <vector>

namespace quarvel::sim {

class ApplicationFirmware;

// The instrument's EEPROM copy of its settings and the commands on it: "ELD" loads the copy into
// the working settings, "ERD" puts the factory defaults there, "ESV" stores the working settings
// and answers a short text once done. Optionally kept in a file, so that it survives a restart.
class Eeprom {
public:
    // Between the echo of "ESV" and its answer: the time a real EEPROM takes to write.
    static constexpr double kSaveAnswerGapMs = 200;

    // Starts with the factory defaults and takes over the EEPROM commands of app.
    explicit Eeprom(ApplicationFirmware& app);
    Eeprom(const Eeprom&) = delete;
    Eeprom& operator=(const Eeprom&) = delete;

    // A fault: the save is carried out but never answered.
    void setSaveAnswered(bool answered) { m_saveAnswered = answered; }
    // Keeps the copy in path (JSON): read now, if it exists, into the copy and the working
    // settings (as at power-up); written on every save. An error text, empty when all is well.
    QString useFile(const QString& path);

    QMap<QString, QString> contents() const { return m_stored; }

    std::optional<std::vector<Chunk>> handle(const QString& command);

private:
    QString load(const QString& path);
    bool store(QString& error) const;

    ApplicationFirmware& m_app;
    QMap<QString, QString> m_stored;
    QString m_file;
    bool m_saveAnswered = true;
};

} // namespace quarvel::sim
