#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace quarvel {

// One label of the time axis: the zero-based index of its point and the text shown there.
struct TimeAxisLabel {
    int index = 0;
    QString text;
    bool operator==(const TimeAxisLabel& other) const { return index == other.index && text == other.text; }
};

// Chooses the time-axis labels for points first..last (zero-based) of a record of `count`
// points. The whole record in view gets a label on every `spacing`-th point with that point's
// own label; a part of it in view starts from a label on every point. When `fits` says the
// texts would not all show in full, they are first shortened to three significant digits, and
// then put on every 2nd, 5th, 10th, 20th ... such point until they do.
QList<TimeAxisLabel> timeAxisLabels(int count, int spacing, int first, int last,
                                    const std::function<QString(int index)>& labelOf,
                                    const std::function<bool(const QStringList& texts)>& fits);

// A time label shortened to three significant digits (0.9333333 gives 0.933, 546.0833 gives
// 546); a label that is not a number stays as it is.
QString shortTimeText(const QString& label);

} // namespace quarvel
