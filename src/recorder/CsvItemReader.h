#pragma once

#include <QString>

#include <optional>

namespace quarvel {

// Reads a text as a sequence of items: items end at a comma or a line end (CR LF, CR or LF);
// an item's leading blanks are skipped; an item that begins with a double quote runs to the next
// double quote (anything after it up to the comma or line end is dropped); a comma that ends a
// line is followed by an empty item; blank lines are skipped.
class CsvItemReader {
public:
    explicit CsvItemReader(QString text) : m_text(std::move(text)) {}

    // The next item; nothing when the text has ended.
    std::optional<QString> next();
    // True when only blanks and line ends are left.
    bool atEnd() const;

private:
    bool isLineEnd(qsizetype i) const;
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
    bool m_afterComma = false; // the previous item ended with a comma
};

} // namespace quarvel
