#include "recorder/CsvItemReader.h"

namespace quarvel {

bool CsvItemReader::isLineEnd(qsizetype i) const
{
    const QChar c = m_text.at(i);
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

void CsvItemReader::skipLineEnd()
{
    if (m_text.at(m_pos) == QLatin1Char('\r') && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == QLatin1Char('\n'))
        ++m_pos;
    ++m_pos;
}

bool CsvItemReader::atEnd() const
{
    if (m_afterComma)
        return false; // an empty item follows a trailing comma
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        if (m_text.at(i) != QLatin1Char(' ') && !isLineEnd(i))
            return false;
    }
    return true;
}

std::optional<QString> CsvItemReader::next()
{
    const qsizetype size = m_text.size();
    for (;;) {
        while (m_pos < size && m_text.at(m_pos) == QLatin1Char(' '))
            ++m_pos;
        if (m_afterComma || m_pos >= size || !isLineEnd(m_pos))
            break;
        skipLineEnd(); // a blank line
    }
    if (m_pos >= size) {
        if (!m_afterComma)
            return std::nullopt;
        m_afterComma = false;
        return QString(); // the empty item after a comma at the very end
    }
    QString item;
    if (m_text.at(m_pos) == QLatin1Char('"')) {
        const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
        const qsizetype end = close < 0 ? size : close;
        item = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? size : close + 1;
        while (m_pos < size && m_text.at(m_pos) != QLatin1Char(',') && !isLineEnd(m_pos))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_text.at(m_pos) != QLatin1Char(',') && !isLineEnd(m_pos))
            ++m_pos;
        item = m_text.mid(start, m_pos - start);
    }
    m_afterComma = false;
    if (m_pos < size) {
        if (m_text.at(m_pos) == QLatin1Char(',')) {
            ++m_pos;
            m_afterComma = true;
        } else {
            skipLineEnd();
        }
    }
    return item;
}

} // namespace quarvel
