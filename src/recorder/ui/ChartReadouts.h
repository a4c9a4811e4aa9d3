#pragma once

#include "recorder/RecordStatistics.h"

#include <QWidget>

#include <optional>

class QLabel;

namespace quarvel {

class RecordModel;

// The numbers beside the chart: the latest value while a record is being taken; the minimum,
// maximum and mean of the recorded points; when the record first fell below the Warning and
// the Low level ("never", or "no level" without one).
class ChartReadouts : public QWidget {
    Q_OBJECT
public:
    explicit ChartReadouts(QWidget* parent = nullptr);

    // latest: the value of the last sample while acquiring (nothing: not acquiring, or no answer).
    void show(const RecordModel& model, const RecordStatistics& statistics, bool acquiring,
              std::optional<double> latest, bool warningLevel, bool lowLevel);
    QString text() const;

private:
    QLabel* m_latest;
    QLabel* m_range;
    QLabel* m_crossings;
};

} // namespace quarvel
