#pragma once

#include "recorder/LiveAcquisition.h"
#include "recorder/RecordKeeper.h"

#include <QRect>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvel {

class Prompter;
struct RecordFileLoad;
class ChartTools;
class SerialLink;
class VoltageChartView;

// The "Record" tab: the record settings, live acquisition of the pack voltage, record files and
// the download of the record stored in the instrument. It shows the live acquisition and the
// record it holds; the caption of "Acquire" follows the acquisition's state.
class RecordTab : public QWidget {
    Q_OBJECT
public:
    // The tools beside the chart: their width and the gap before them, which the window adds.
    static constexpr int kToolsWidthTwips = 2100;
    static constexpr int kToolsGapTwips = 120;

    // recordDwellTime gives the text of the "Record dwell time" parameter field.
    RecordTab(SerialLink& link, Prompter& prompter, std::function<QString()> recordDwellTime, QWidget* parent = nullptr);

    // The tab became current. A record taken, loaded or downloaded stays; a record suspended by
    // leaving the tab goes on (the points that fell due meanwhile are gaps). Without a record
    // the chart shows an empty one of the length the settings describe.
    void enterTab();
    // The tab was left: sampling pauses until the tab is shown again.
    void leaveTab();

    LiveAcquisition& acquisition() { return *m_acquisition; }
    RecordModel& model() { return m_acquisition->model(); }
    // Keeps every record taken in the folder until it is saved or discarded (see RecordKeeper),
    // and offers back, on a bar above the chart, the records that windows left unsaved there.
    void keepRecordsIn(const QString& folder);
    RecordKeeper* keeper() const { return m_keeper; }

    // Limits, comparison, chart images and readouts beside the chart.
    ChartTools* chartTools() const { return m_chartTools; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void cmdAcquire_Click();
    void tmrAcquire_Timer();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdLoadFromQuarvel_Click();

    void showLoadedRecord(const RecordFileLoad& load);
    void offerNextKeptRecord();
    void restoreKeptRecord();
    void discardKeptRecord();
    void showState(LiveAcquisition::State state);
    void acquisitionEnded(LiveAcquisition::State state);
    void setFileButtonsEnabled(bool enabled);

    SerialLink& m_link;
    Prompter& m_prompter;
    std::function<QString()> m_recordDwellTime;
    LiveAcquisition* m_acquisition;
    // Whether the chart holds a record (taken, loaded or downloaded) rather than the empty one
    // shown before any.
    bool m_holdsRecord = false;
    QLineEdit* m_txtStime;
    QLineEdit* m_txtTtime;
    QPushButton* m_cmdAcquire;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdLoad;
    QPushButton* m_cmdLoadFromQuarvel;
    VoltageChartView* m_chart;
    RecordKeeper* m_keeper = nullptr;
    QList<RecordKeeper::Kept> m_offered; // records left unsaved, still to offer; the first is on the bar
    QFrame* m_keptBar;
    QLabel* m_keptText;
    QPushButton* m_cmdRestoreKept;
    ChartTools* m_chartTools;
    QRect m_chartDrawn; // the chart's place and least size
};

} // namespace quarvel
