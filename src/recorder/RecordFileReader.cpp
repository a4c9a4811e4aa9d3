#include "recorder/RecordFileReader.h"

#include "recorder/CsvItemReader.h"

#include <QDir>
#include <QFile>

namespace quarvel {

RecordFileLoad RecordFileReader::read(const QByteArray& bytes, const QString& secondsText, const QString& minutesText)
{
    RecordFileLoad load;
    CsvItemReader items(QString::fromLatin1(bytes));
    QString seconds = secondsText;
    QString minutes = minutesText;
    for (;;) {
        const auto key = items.next();
        const auto value = key ? items.next() : std::nullopt;
        if (!value) {
            load.error = QStringLiteral("The file ends in the middle of a key and its value: it is not a complete "
                                        "record file.");
            return load;
        }
        if (*key == QLatin1String("Date")) {
            load.date = *value;
        } else if (*key == QLatin1String("Comments")) {
            load.comment = *value;
        } else if (*key == QLatin1String("Seconds between samples")) {
            load.secondsText = seconds = *value;
        } else if (*key == QLatin1String("Total time in minutes")) {
            load.minutesText = minutes = *value;
        } else if (*key == QLatin1String("Time") && *value == QLatin1String("Voltage")) {
            RecordSettings settings;
            const QString problem = checkRecordSettings(seconds, minutes, settings);
            if (!problem.isEmpty()) {
                load.error = QStringLiteral("The file's settings do not describe a record. %1").arg(problem);
                return load;
            }
            load.settings = settings;
            load.labels.reserve(settings.points);
            load.values.reserve(static_cast<size_t>(settings.points));
            for (int k = 1; k <= settings.points; ++k) {
                const auto label = items.next();
                const auto text = label ? items.next() : std::nullopt;
                if (!text) {
                    load.error = QStringLiteral("The file ends after %1 of the %2 points its settings describe; "
                                                "the points read are shown.")
                                     .arg(k - 1)
                                     .arg(settings.points);
                    return load;
                }
                load.labels.append(*label);
                load.values.push_back(numberOf(*text));
            }
            return load;
        }
        if (items.atEnd()) {
            load.error = QStringLiteral("This is not a record file: it holds no \"Time,Voltage\" line. Nothing was "
                                        "loaded.");
            return load;
        }
    }
}

RecordFileLoad RecordFileReader::load(const QString& path, const QString& secondsText, const QString& minutesText)
{
    QFile file(path);
    const QString name = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RecordFileLoad failed;
        failed.error = QStringLiteral("Cannot open %1: %2").arg(name, file.errorString());
        return failed;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes || file.error() != QFileDevice::NoError) {
        RecordFileLoad failed;
        failed.error = bytes.size() > kMaxFileBytes
            ? QStringLiteral("%1 is too large to be a record file.").arg(name)
            : QStringLiteral("Cannot read %1: %2").arg(name, file.errorString());
        return failed;
    }
    return read(bytes, secondsText, minutesText);
}

} // namespace quarvel
