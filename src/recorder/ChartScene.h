#pragma once

#include "recorder/VoltageLimits.h"

#include <QList>
#include <QString>

#include <vector>

namespace quarvel {

// One curve of the chart: a record's values (NaN: a gap) a fixed number of seconds apart, from
// time 0 on, and the name its legend entry shows.
struct ChartCurve {
    QString name;
    float seconds = 1;
    std::vector<double> values;
};

// A point the user marked on the chart: its time in minutes and its voltage.
struct ChartMark {
    double minutes = 0;
    double volts = 0;
};

// Everything a chart image shows: the record, the records laid over it for comparison (all
// aligned at their start), the limit lines, the marked points and the caption below.
struct ChartScene {
    QString caption;
    ChartCurve record;
    QList<ChartCurve> overlays;
    VoltageLimits limits;
    QList<ChartMark> marks;
};

} // namespace quarvel
