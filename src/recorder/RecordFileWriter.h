#pragma once

#include "recorder/RecordFileContent.h"

#include <QByteArray>
#include <QString>

namespace quarvel {

// Writes record files: five header lines, then one "label,value" line per point, CR LF line ends,
// one byte per character. The settings texts are written as they stand. The comment is written
// as it stands too, unless a reader would not give it back whole (a comma, a line end, a leading
// blank or double quote): then it goes between double quotes, which the reader takes as one
// item. Such an item cannot hold a double quote, so there each one becomes two apostrophes.
class RecordFileWriter {
public:
    static QByteArray format(const RecordFileContent& content);
    // The comment as a file written now gives it back: the comment itself, or with its double
    // quotes turned into two apostrophes each when it had to be quoted.
    static QString savedComment(const QString& comment);
    // Why the comment cannot be saved: it holds a character outside the file's one-byte character
    // set (Latin-1), which is named. Empty when it can. Such a comment is refused, never changed.
    static QString commentProblem(const QString& comment);
    // Writes the file beside its target and replaces the target only once all of it is written,
    // so a failed save leaves an existing file as it was. Returns a message, empty on success;
    // a comment with a commentProblem() is refused before anything is written.
    static QString save(const QString& path, const RecordFileContent& content);
};

} // namespace quarvel
