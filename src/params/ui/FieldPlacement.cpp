#include "params/ui/FieldPlacement.h"

namespace quarvel {

const QVector<FieldPlacement>& parameterPlacements()
{
    static const QVector<FieldPlacement> placements = [] {
        QVector<FieldPlacement> p;
        // "Profile A", top to bottom.
        for (int k = 0; k < 6; ++k)
            p.append({3600, 1800 + 360 * k, 1575});
        // "Profile B", bottom to top.
        for (int k = 0; k < 6; ++k)
            p.append({3720, 3660 - 360 * k, 1575});
        // "Servo cycle": the ten positions, then the dwell time above them.
        for (int k = 0; k < 10; ++k)
            p.append({4860, 1320 + 360 * k, 1395});
        p.append({4440, 600, 1395});
        // "Misc.": two display lines and the calibration, then mode and record dwell time beside them.
        p.append({3000, 540, 1515});
        p.append({3000, 900, 1515});
        p.append({3000, 1260, 1515});
        p.append({6540, 540, 1035});
        p.append({6540, 900, 1035});
        return p;
    }();
    return placements;
}

const QVector<FieldPlacement>& reportPlacements()
{
    static const QVector<FieldPlacement> placements = {{2460, 300, 1215}, {2460, 660, 1215}, {2460, 1020, 1215}};
    return placements;
}

} // namespace quarvel
