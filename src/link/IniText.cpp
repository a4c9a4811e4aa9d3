#include "link/IniText.h"

#include <QStringList>

namespace quarvel::IniText {

namespace {

// The section a header line opens, or nothing when the line is not a header.
std::optional<QString> sectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const int end = t.indexOf(QLatin1Char(']'));
    return (end < 0 ? t.mid(1) : t.mid(1, end - 1)).trimmed();
}

bool isComment(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// True when the line is an entry for key; value receives what follows the first "=".
bool entryFor(const QString& line, const QString& key, QString* value = nullptr)
{
    if (isComment(line))
        return false;
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || !sameName(line.left(eq).trimmed(), key))
        return false;
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

} // namespace

std::optional<QString> value(const QString& text, const QString& section, const QString& key)
{
    bool inSection = false;
    for (const QString& line : linesOf(text)) {
        if (const auto s = sectionOf(line)) {
            inSection = sameName(*s, section);
            continue;
        }
        QString raw;
        if (!inSection || !entryFor(line, key, &raw))
            continue;
        QString v = raw.trimmed();
        if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
            && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return v;
    }
    return std::nullopt;
}

QString withValue(const QString& text, const QString& section, const QString& key, const QString& value)
{
    const QString newline = text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = text.isEmpty() ? QStringList() : linesOf(text);
    // A final line break leaves an empty last piece; it is put back at the end.
    const bool endedWithBreak = !lines.isEmpty() && lines.back().isEmpty();
    if (endedWithBreak)
        lines.removeLast();
    const QString entry = key + QLatin1Char('=') + value;

    bool inSection = false;
    int lastOfSection = -1; // last non-blank line of the section, where a new key goes
    for (int i = 0; i < lines.size(); ++i) {
        if (const auto s = sectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = sameName(*s, section);
            if (inSection)
                lastOfSection = i;
            continue;
        }
        if (!inSection)
            continue;
        if (entryFor(lines[i], key)) {
            lines[i] = entry;
            return lines.join(newline) + newline;
        }
        if (!lines[i].trimmed().isEmpty())
            lastOfSection = i;
    }
    if (lastOfSection >= 0) {
        lines.insert(lastOfSection + 1, entry);
    } else {
        if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(entry);
    }
    return lines.join(newline) + newline;
}

} // namespace quarvel::IniText
