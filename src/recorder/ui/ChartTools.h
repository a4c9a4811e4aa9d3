#pragma once

#include "recorder/VoltageLimits.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QListWidget;
class QPushButton;

namespace quarvel {

class ChartLimitLines;
class ChartMarks;
class ChartOverlays;
class ChartReadouts;
class Prompter;
class RecordModel;
class VoltageChartView;

// Beside the chart: the "Limits" choice, "Compare..." with the list of overlays and their removal,
// "Save Chart Image...", and the readouts. Draws the limit lines, the overlays and the marks on
// the chart; nothing here changes the record, its settings or what Save writes.
class ChartTools : public QWidget {
    Q_OBJECT
public:
    enum Profile { NoProfile = 0, ProfileA = 1, ProfileB = 2 };

    ChartTools(VoltageChartView* view, RecordModel& model, Prompter& prompter,
               std::function<double()> secondsPerPoint, QWidget* parent = nullptr);

    // Live acquisition: whether samples are being taken, and each sample as it is taken.
    void setAcquiring(bool acquiring);
    void sampleTaken(std::optional<double> volts);

    // Where a profile's High, Warning and Low texts come from (the parameter fields).
    void setLevelSource(std::function<VoltageLimits(Profile)> source);
    // A level text changed: the lines and crossings follow.
    void levelsChanged();
    // Adds the record file as an overlay; returns false (after telling the user) when it is none.
    bool addOverlay(const QString& path);
    // Writes the chart as shown to a PNG or SVG file; returns a message, empty on success.
    QString saveImage(const QString& path) const;

    ChartOverlays& overlays() { return *m_overlays; }
    ChartMarks& marks() { return *m_marks; }
    ChartLimitLines& limitLines() { return *m_limitLines; }
    ChartReadouts& readouts() { return *m_readouts; }
    QComboBox* limitsChoice() const { return m_limits; }

private:
    void compare();
    void removeOverlay();
    void saveImageAs();
    void overlaysChanged();
    void refreshReadouts();
    void updateLegend();

    VoltageChartView* m_view;
    RecordModel& m_model;
    Prompter& m_prompter;
    bool m_acquiring = false;
    std::optional<double> m_latest;
    std::function<VoltageLimits(Profile)> m_levelSource;
    QComboBox* m_limits;
    QPushButton* m_compare;
    QListWidget* m_overlayList;
    QPushButton* m_remove;
    QPushButton* m_saveImage;
    ChartReadouts* m_readouts;
    ChartLimitLines* m_limitLines;
    ChartOverlays* m_overlays;
    ChartMarks* m_marks;
};

} // namespace quarvel
