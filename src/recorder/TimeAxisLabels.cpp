#include "recorder/TimeAxisLabels.h"

#include "recorder/RecordArithmetic.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

namespace {
constexpr int kMostLabels = 50; // more never fit on any screen; fewer labels are not measured
} // namespace

QString shortTimeText(const QString& label)
{
    const auto value = numberOf(label);
    if (!value)
        return label;
    if (std::fabs(*value) >= 1000)
        return QString::number(*value, 'f', 0);
    return QString::number(*value, 'g', 3);
}

QList<TimeAxisLabel> timeAxisLabels(int count, int spacing, int first, int last,
                                    const std::function<QString(int)>& labelOf,
                                    const std::function<bool(const QStringList&)>& fits)
{
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (first > last)
        return {};
    const bool whole = first == 0 && last == count - 1;
    const int unit = whole ? std::max(spacing, 1) : 1;
    const int span = last - first + 1;
    for (long long scale = 1;; scale *= 10) {
        for (const int factor : {1, 2, 5}) {
            const long long step = unit * scale * factor;
            if (step * kMostLabels < span)
                continue;
            QList<TimeAxisLabel> labels;
            QStringList texts;
            for (long long k = (first + step - 1) / step * step; k <= last; k += step) {
                labels.append({static_cast<int>(k), labelOf(static_cast<int>(k))});
                texts.append(labels.last().text);
            }
            if (fits(texts))
                return labels;
            for (int i = 0; i < labels.size(); ++i)
                texts[i] = labels[i].text = shortTimeText(labels[i].text);
            if (fits(texts) || step >= span) // at most one label is left: show it anyway
                return labels;
        }
    }
}

} // namespace quarvel
