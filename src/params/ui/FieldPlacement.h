#pragma once

#include <QVector>

namespace quarvel {

// Where a field stands on its page, in twips; report fields relative to their frame.
struct FieldPlacement {
    int left, top, width;
};

inline constexpr int kFieldHeightTwips = 315;

// In the order of parameterFields() and reportFields().
const QVector<FieldPlacement>& parameterPlacements();
const QVector<FieldPlacement>& reportPlacements();

} // namespace quarvel
