#pragma once

#include <QString>

namespace quarvel {

inline constexpr QChar kCR = QChar(13);

// The address put in front of every application command: the program talks to instrument "1".
inline const QString kInstrumentAddress = QStringLiteral("1");

// A command code whose first character is a lower-case "s" names a text value; the "s" is a
// marker only and never goes on the wire.
bool isTextCode(const QString& code);
QString wireCode(const QString& code);

QString readLine(const QString& address, const QString& code);
QString writeLine(const QString& address, const QString& code, const QString& value);

// The instrument marks a command it does not accept with a "?" anywhere in its answer.
bool isRejected(const QString& reply);

// What an answer says about a write or a command: taken only when it starts with the echo of the
// line (silence or other text confirms nothing), refused by a "?" after that echo (a "?" in the
// value written is no refusal).
enum class Answer { Confirmed, Refused, Unanswered };
Answer answerTo(const QString& reply, const QString& line);

// What the answer to a read holds: a value; a "?", which a text value holding one cannot be told
// from; or no echo of the line at all.
enum class ReadStatus { Value, Refused, Unanswered };
ReadStatus readStatus(const QString& reply, const QString& line);

// The value in the answer to `line` (a read of `code`): what follows the echo of the line.
// Empty when the answer is rejected, holds no echo, or holds nothing after it. A text value is
// the whole rest without its trailing CR and LF characters; a number is its first word.
QString valueFromReply(const QString& reply, const QString& line, const QString& code);

// The text up to the first CR, LF or separator; NUL characters become spaces.
QString cutAtTerminator(const QString& text, const QString& separator);

// The n-th field of a text: field 1 is the trimmed text cut at its first terminator; field n > 1
// starts two characters after the (n-1)-th counted separator (a run of spaces counts once when
// the separator is a space). Empty when the text has fewer fields.
QString getField(const QString& text, int n, const QString& separator);

} // namespace quarvel
