#pragma once

#include <QString>

namespace quarvel {

class SerialLink;

inline constexpr int kMaxIdentifyAttempts = 101;
inline const QString kIdentifyCode = QStringLiteral("sDID");
inline const QString kIdentityMark = QStringLiteral("Quarvel V");

// Asks the instrument to identify itself until an answer holds "Quarvel V" (case-sensitive),
// at most 101 times. Returns the first answer that holds the mark; empty when none did.
QString identifyQuarvel(SerialLink& link);

} // namespace quarvel
