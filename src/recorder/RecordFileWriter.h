#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quarvel {

// What a record file holds: a date, the user's comment, the two settings texts, and each
// point's label and value (NaN: no value, written as an empty value).
struct RecordFileContent {
    QString date;
    QString comment;
    QString secondsText;
    QString minutesText;
    QStringList labels;
    std::vector<double> values;
};

// Writes record files: five header lines, then one "label,value" line per point, CR LF line ends,
// one byte per character. The comment and the settings texts are written exactly as they stand,
// never quoted or escaped: the layout stays the plain one every reader of these files expects.
class RecordFileWriter {
public:
    static QByteArray format(const RecordFileContent& content);
    // Writes the file beside its target and replaces the target only once all of it is written,
    // so a failed save leaves an existing file as it was. Returns a message, empty on success.
    static QString save(const QString& path, const RecordFileContent& content);
};

} // namespace quarvel
