#include "params/ProfilePresets.h"

namespace quarvel {

const QVector<ProfilePreset>& profilePresets()
{
    static const QVector<ProfilePreset> presets = {
        {"4 cell NiCd", "4 cell  NiCd", "10", "5", "4.6", "4.4"},
        {"5 cell NiCd", "5 cell  NiCd", "12", "6.25", "5.75", "5.5"},
        {"4 cell NiMH", "4 cell  NiMH", "10", "5", "4.6", "4.4"},
        {"5 cell NiMH", "5 cell  NiMH", "12", "6.25", "5.75", "5.5"},
        {"2 cell Li-Poly", "2 cell Li-Po", "7.5", "8.4", "6.5", "6.0"},
    };
    return presets;
}

} // namespace quarvel
