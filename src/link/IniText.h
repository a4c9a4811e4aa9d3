#pragma once

#include <QString>

#include <optional>

namespace quarvel {

// Private-profile ("INI") text as hand editors and other programs write it: "[Section]" headers,
// "Key=Value" lines, comments starting with ";" or "#". Section and key names match without
// regard to case; the first matching entry counts.
namespace IniText {

// The value of key in section, stripped of surrounding blanks and of one pair of enclosing
// quotes; nothing when the section or key is absent.
std::optional<QString> value(const QString& text, const QString& section, const QString& key);

// The text with key in section set to value, written exactly as given ("Key=value"); every
// other line is kept. A missing section is appended, a missing key ends its section.
QString withValue(const QString& text, const QString& section, const QString& key, const QString& value);

} // namespace IniText

} // namespace quarvel
