#pragma once

#include "sim/Chunk.h"

#include <QMap>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace quarvel::sim {

class BatteryPack;

// The instrument's application: echoes every character, answers each CR-terminated line for
// address "1" with the value after the echo (lines end CR LF), or "?" when it does not accept it.
class ApplicationFirmware {
public:
    struct Faults {
        bool silent = false;    // neither echo nor answer
        bool rejectAll = false; // every command answered "?"
        bool identifyOnly = false; // answers the identify line; every other line gets neither echo nor answer
    };
    // Between the echo of a line and its answer.
    static constexpr double kAnswerGapMs = 2;

    struct Setting {
        QString factory;
        std::function<bool(const QString&)> accepts;
        bool text = false;
    };

    explicit ApplicationFirmware(BatteryPack& pack);

    Faults& faults() { return m_faults; }

    // One received byte; the chunks to send in reply are appended to out. A completed "1pgm"
    // line sets bootLoaderRequested.
    void receive(char byte, std::vector<Chunk>& out);
    bool takeBootLoaderRequest();

    // Working settings, by wire code ("DRA", "DCY 3", "DVA").
    QString value(const QString& wireCode) const { return m_working.value(wireCode); }
    void setValue(const QString& wireCode, const QString& value) { m_working[wireCode] = value; }
    QMap<QString, QString> workingSettings() const { return m_working; }
    static const QMap<QString, Setting>& table();

    // Lines whose handling another part of the instrument takes over (EEPROM, stored record).
    using LineHandler = std::function<std::optional<std::vector<Chunk>>(const QString& command)>;
    void addLineHandler(LineHandler handler) { m_handlers.push_back(std::move(handler)); }

    int linesHandled() const { return m_lines; }

private:
    std::vector<Chunk> answer(const QString& line);
    QString readReport(const QString& code);

    BatteryPack& m_pack;
    Faults m_faults;
    QMap<QString, QString> m_working;
    QByteArray m_line;
    std::vector<LineHandler> m_handlers;
    bool m_bootLoaderRequested = false;
    int m_lines = 0;
};

} // namespace quarvel::sim
