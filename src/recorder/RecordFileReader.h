#pragma once

#include "recorder/RecordArithmetic.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quarvel {

// What reading a record file found: the last comment and settings texts met, and once the pair
// "Time", "Voltage" began the data, the record's settings and the points read. `error` says why
// reading stopped early (also when the data never began: then the file is not a record).
struct RecordFileLoad {
    std::optional<QString> date;
    std::optional<QString> comment;
    std::optional<QString> secondsText;
    std::optional<QString> minutesText;
    std::optional<RecordSettings> settings;
    QStringList labels;
    std::vector<std::optional<double>> values;
    QString error;
};

// Reads record files two items at a time, a key and a value, whatever the line layout. The data
// section is sized by the settings texts in force when it begins: those read from the file, or
// else the ones passed in (the fields' texts).
class RecordFileReader {
public:
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

    static RecordFileLoad read(const QByteArray& bytes, const QString& secondsText, const QString& minutesText);
    static RecordFileLoad load(const QString& path, const QString& secondsText, const QString& minutesText);
};

} // namespace quarvel
