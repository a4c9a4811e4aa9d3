#pragma once

#include "RecordModel.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvel {

class Prompter;
class SampleTimer;
class SerialLink;
class VoltageChartView;

// The "Record" tab: the record settings, live acquisition of the pack voltage, record files and
// the download of the record stored in the instrument.
class RecordTab : public QWidget {
    Q_OBJECT
public:
    enum class Acquisition { Idle, Running, Suspended };

    // recordDwellTime gives the text of the "Record dwell time" parameter field.
    RecordTab(SerialLink& link, Prompter& prompter, std::function<QString()> recordDwellTime, QWidget* parent = nullptr);

    // The tab became current: an empty record of the length the settings describe.
    void enterTab();
    // The tab was left: sampling pauses until "Stop" is pressed.
    void leaveTab();

    Acquisition acquisition() const;
    RecordModel& model() { return m_model; }

private:
    void cmdAcquire_Click();
    void tmrAcquire_Timer();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdLoadFromQuarvel_Click();

    void stopAcquisition();
    void setFileButtonsEnabled(bool enabled);

    SerialLink& m_link;
    Prompter& m_prompter;
    std::function<QString()> m_recordDwellTime;
    RecordModel m_model;
    SampleTimer* m_timer;
    QLineEdit* m_txtStime;
    QLineEdit* m_txtTtime;
    QPushButton* m_cmdAcquire;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdLoad;
    QPushButton* m_cmdLoadFromQuarvel;
    VoltageChartView* m_chart;
};

} // namespace quarvel
