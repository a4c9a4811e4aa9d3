#include "recorder/RecordCurve.h"

#include "recorder/RecordFileReader.h"

#include <QFileInfo>

#include <cmath>

namespace quarvel {

QString recordCurveName(const QString& comment, const QString& date, const QString& path)
{
    const QString text = comment.trimmed();
    if (text.isEmpty())
        return QFileInfo(path).fileName();
    return date.trimmed().isEmpty() ? text : text + QStringLiteral(", ") + date.trimmed();
}

RecordCurveLoad loadRecordCurve(const QString& path)
{
    RecordCurveLoad result;
    // No settings texts of our own: a file without its settings is not a record to compare.
    const RecordFileLoad load = RecordFileReader::load(path, QString(), QString());
    if (!load.settings) {
        result.error = load.error;
        return result;
    }
    result.loaded = true;
    result.warning = load.error;
    result.curve.name = recordCurveName(load.comment.value_or(QString()), load.date.value_or(QString()), path);
    result.curve.seconds = load.settings->seconds;
    result.curve.values.reserve(load.values.size());
    for (const auto& v : load.values)
        result.curve.values.push_back(v ? *v : NAN);
    return result;
}

} // namespace quarvel
