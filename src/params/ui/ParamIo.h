#pragma once

#include "link/CommandFraming.h"

#include <QString>

class QLineEdit;

namespace quarvel {

class SerialLink;

// A field carries its command code as the property "tag" for its whole life.
QString fieldCode(const QLineEdit& field);
void setFieldCode(QLineEdit& field, const QString& code);

// Reads the value the field's code names into the field's text, an empty answer included. True
// when the instrument answered just now, so the text is its value (or its refusal, empty).
bool readParam(SerialLink& link, const QString& address, QLineEdit& field);
// The field is empty because its last read gave nothing (no answer, a refusal, or a value that
// cannot be told from one) and nobody has typed into it since: its emptiness is no value to send.
bool blankedByRead(const QLineEdit& field);
void clearBlankedByRead(QLineEdit& field);
// Marks a field whose value the instrument never confirmed, where the user sees it (tint and
// tooltip) and where a screen reader says it (the accessible description); unmarked, the field
// has its own tooltip again.
void markUnsent(QLineEdit& field, bool unsent);
inline const QString kUnsentNote =
    QStringLiteral("Not sent: the QUARVEL has not confirmed this value. Press Enter to send it again.");

// Sends the field's text with its code; the link warns the user when the instrument rejects it.
// The field keeps its text whatever the answer.
Answer writeParam(SerialLink& link, const QString& address, QLineEdit& field);

} // namespace quarvel
