#include "link/PortNumberText.h"

namespace quarvel {

std::optional<int> portNumberFromText(const QString& text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (!ok || number < 1 || number > 32767)
        return std::nullopt;
    return number;
}

} // namespace quarvel
