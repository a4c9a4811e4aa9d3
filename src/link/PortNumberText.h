#pragma once

#include <QString>

#include <optional>

namespace quarvel {

// The port number a typed text names: a whole number from 1 to 32767, blanks around it allowed;
// nothing for any other text.
std::optional<int> portNumberFromText(const QString& text);

} // namespace quarvel
