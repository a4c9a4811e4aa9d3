#include "recorder/RecordFileContent.h"

#include "recorder/RecordModel.h"

#include <QDate>
#include <QLocale>

namespace quarvel {

RecordFileContent recordFileContent(const RecordModel& model, const QString& secondsText, const QString& minutesText,
                                    const QString& comment)
{
    RecordFileContent content;
    content.comment = comment;
    // The system's short date; a comma in it would shift every pair when the file is read.
    content.date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).remove(QLatin1Char(','));
    content.secondsText = secondsText;
    content.minutesText = minutesText;
    for (int k = 1; k <= model.pointCount(); ++k)
        content.labels.append(model.label(k));
    content.values = model.rawValues();
    return content;
}

} // namespace quarvel
