#pragma once

#include <QString>
#include <QVector>
#include <array>

namespace quarvel {

// Ready values for a common battery pack; every text is written into its field exactly.
struct ProfilePreset {
    QString caption;
    QString name; // 12 characters, as the name field's hint asks
    QString resistance;
    QString high;
    QString warning;
    QString low;

    // In the order the fields are filled and written: name, resistance, high, warning, low.
    std::array<QString, 5> values() const { return {name, resistance, high, warning, low}; }
};

const QVector<ProfilePreset>& profilePresets();

// Target fields of a profile in write order: name, resistance, high, warning, low.
inline constexpr std::array<int, 5> kProfileAFields = {0, 1, 2, 3, 4};
inline constexpr std::array<int, 5> kProfileBFields = {11, 10, 9, 8, 7};

} // namespace quarvel
