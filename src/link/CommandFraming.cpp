#include "link/CommandFraming.h"

namespace quarvel {

namespace {

QString trimSpaces(const QString& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

bool isTextCode(const QString& code)
{
    return code.startsWith(QLatin1Char('s'));
}

QString wireCode(const QString& code)
{
    return isTextCode(code) ? code.mid(1) : code;
}

QString readLine(const QString& address, const QString& code)
{
    return address + wireCode(code) + kCR;
}

QString writeLine(const QString& address, const QString& code, const QString& value)
{
    return address + wireCode(code) + QLatin1Char(' ') + value + kCR;
}

bool isRejected(const QString& reply)
{
    return reply.contains(QLatin1Char('?'));
}

Answer answerTo(const QString& reply, const QString& line)
{
    if (!reply.startsWith(line))
        return Answer::Unanswered;
    return isRejected(reply.mid(line.size())) ? Answer::Refused : Answer::Confirmed;
}

ReadStatus readStatus(const QString& reply, const QString& line)
{
    if (isRejected(reply))
        return ReadStatus::Refused;
    return reply.contains(line) ? ReadStatus::Value : ReadStatus::Unanswered;
}

QString valueFromReply(const QString& reply, const QString& line, const QString& code)
{
    if (isRejected(reply))
        return {};
    const int echoAt = reply.indexOf(line);
    if (echoAt < 0 || reply.size() <= line.size())
        return {};
    // Taken from right after the echo, so characters in front of it cannot shift the value.
    const QString rest = reply.mid(echoAt + line.size());
    if (rest.isEmpty())
        return {};
    if (isTextCode(code)) {
        // The line end after a text value is not part of it: kept, it would be written back in
        // front of anything typed after it. Blanks stay, wherever they are.
        int end = rest.size();
        while (end > 0 && (rest.at(end - 1) == kCR || rest.at(end - 1) == QChar(10)))
            --end;
        return rest.left(end);
    }
    return getField(rest, 1, QStringLiteral(" "));
}

QString cutAtTerminator(const QString& text, const QString& separator)
{
    QString out;
    for (const QChar c : text) {
        if (c == kCR || c == QChar(10) || (!separator.isEmpty() && c == separator.at(0)))
            break;
        out.append(c == QChar(0) ? QChar(' ') : c);
    }
    return out;
}

QString getField(const QString& text, int n, const QString& separator)
{
    const QString trimmed = trimSpaces(text);
    if (n <= 1)
        return cutAtTerminator(trimmed, separator);
    if (separator.isEmpty())
        return {};
    const QChar sep = separator.at(0);
    const bool spaceSeparated = sep == QLatin1Char(' ');
    int counter = 1;
    QChar previous = QLatin1Char('X');
    for (int i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c == sep && !(spaceSeparated && previous == QLatin1Char(' '))) {
            if (++counter == n)
                return cutAtTerminator(trimSpaces(trimmed.mid(i + 2)), separator);
        }
        previous = c;
    }
    return {};
}

} // namespace quarvel
