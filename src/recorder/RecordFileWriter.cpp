#include "recorder/RecordFileWriter.h"

#include "recorder/RecordArithmetic.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace quarvel {

namespace {
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

QByteArray bytesOf(const QString& text)
{
    return text.toLatin1();
}

// True when a reader would not give the comment back as it stands.
bool needsQuotes(const QString& comment)
{
    return comment.startsWith(QLatin1Char(' ')) || comment.startsWith(QLatin1Char('"'))
        || comment.contains(QLatin1Char(',')) || comment.contains(QLatin1Char('\r'))
        || comment.contains(QLatin1Char('\n'));
}
} // namespace

QString RecordFileWriter::savedComment(const QString& comment)
{
    if (!needsQuotes(comment))
        return comment;
    return QString(comment).replace(QLatin1Char('"'), QLatin1String("''"));
}

QString RecordFileWriter::commentProblem(const QString& comment)
{
    for (auto it = comment.cbegin(); it != comment.cend(); ++it) {
        if (it->unicode() <= 0xFF)
            continue;
        const char32_t code = it->isHighSurrogate() && it + 1 != comment.cend()
                                  ? QChar::surrogateToUcs4(*it, *(it + 1))
                                  : it->unicode();
        return QStringLiteral("The comment holds \"%1\" (U+%2), which a record file cannot hold: it keeps only "
                              "Latin-1 characters. Leave the character out or write it another way.")
            .arg(QString::fromUcs4(&code, 1),
                 QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return {};
}

QByteArray RecordFileWriter::format(const RecordFileContent& content)
{
    QByteArray out;
    out.reserve(128 + content.labels.size() * 20);
    out += "Date," + bytesOf(content.date) + kLineEnd;
    const QString comment = savedComment(content.comment);
    if (needsQuotes(content.comment))
        out += "Comments,\"" + bytesOf(comment) + '"' + kLineEnd;
    else
        out += "Comments," + bytesOf(comment) + kLineEnd;
    out += "Seconds between samples," + bytesOf(content.secondsText) + kLineEnd;
    out += "Total time in minutes," + bytesOf(content.minutesText) + kLineEnd;
    out += "Time,Voltage" + kLineEnd;
    for (int k = 0; k < content.labels.size(); ++k) {
        out += bytesOf(content.labels[k]);
        out += ',';
        const double value = static_cast<size_t>(k) < content.values.size() ? content.values[k] : NAN;
        if (!std::isnan(value))
            out += bytesOf(shortestText(value));
        out += kLineEnd;
    }
    return out;
}

QString RecordFileWriter::save(const QString& path, const RecordFileContent& content)
{
    if (const QString problem = commentProblem(content.comment); !problem.isEmpty())
        return QStringLiteral("Cannot save the record to %1. %2").arg(QDir::toNativeSeparators(path), problem);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) // a short write shows in write()'s count
        return QStringLiteral("Cannot save the record to %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    const QByteArray bytes = format(content);
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return QStringLiteral("Cannot save the record to %1: %2").arg(QDir::toNativeSeparators(path), error);
    }
    if (!file.commit())
        return QStringLiteral("Cannot save the record to %1: %2. The file was left as it was.")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

} // namespace quarvel
