#include "recorder/ui/RecordTab.h"

#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "recorder/RecordArithmetic.h"
#include "recorder/RecordDoubling.h"
#include "recorder/RecordFileContent.h"
#include "recorder/RecordFileReader.h"
#include "recorder/RecordFileWriter.h"
#include "recorder/RecordKeeper.h"
#include "recorder/SampleTimer.h"
#include "recorder/StoredRecordImport.h"
#include "recorder/ui/ChartTools.h"
#include "recorder/ui/VoltageChartView.h"
#include "ui/BusyPointer.h"
#include "ui/NamedButton.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace quarvel {

namespace {
const QString kAcquire = QStringLiteral("Acquire");
const QString kStop = QStringLiteral("Stop");
const QString kPattern = QStringLiteral("*.csv");
} // namespace

RecordTab::RecordTab(SerialLink& link, Prompter& prompter, std::function<QString()> recordDwellTime, QWidget* parent)
    : QWidget(parent), m_link(link), m_prompter(prompter), m_recordDwellTime(std::move(recordDwellTime)),
      m_acquisition(new LiveAcquisition(link, this))
{
    auto* label38 = new QLabel(QStringLiteral("Seconds between samples"), this);
    label38->setObjectName(QStringLiteral("Label38"));
    label38->setWordWrap(true);
    m_txtStime = new QLineEdit(QStringLiteral("1"), this);
    m_txtStime->setObjectName(QStringLiteral("txtStime"));
    auto* label39 = new QLabel(QStringLiteral("Total record time in minutes"), this);
    label39->setObjectName(QStringLiteral("Label39"));
    label39->setWordWrap(true);
    m_txtTtime = new QLineEdit(QStringLiteral("10"), this);
    m_txtTtime->setObjectName(QStringLiteral("txtTtime"));
    labelField(label38, m_txtStime);
    labelField(label39, m_txtTtime);
    m_cmdAcquire = namedButton(this, "cmdAcquire", kAcquire,
                          QStringLiteral("Press this button to acquire voltage data from the Quarvel and plot the data."));
    m_cmdSave = namedButton(this, "cmdSave", QStringLiteral("Save"),
                       QStringLiteral("Save the graph data shown on this tab to a csv file."));
    m_cmdLoad = namedButton(this, "cmdLoad", QStringLiteral("Load"),
                       QStringLiteral("Load data from a csv file to the graph shown on this tab."));
    m_cmdLoadFromQuarvel = namedButton(this, "cmdLoadFromQuarvel", QStringLiteral("Load from Quarvel"),
                                  QStringLiteral("Press this button to download voltage data stored in the Quarvel."));
    m_chart = new VoltageChartView(m_acquisition->model(), this);
    m_chart->setObjectName(QStringLiteral("mscVoltage"));

    // Figures count from the top of the tab control; the page starts below its row of tabs. The
    // labels take the column's width, so their words wrap as little as the font allows.
    constexpr int tabRow = 360;
    placeTwips(label38, 180, 540 - tabRow, 915, 600);
    placeTwips(m_txtStime, 180, 1200 - tabRow, 915, 315);
    placeTwips(label39, 180, 1560 - tabRow, 915, 840);
    placeTwips(m_txtTtime, 180, 2460 - tabRow, 915, 315);
    placeTwips(m_cmdAcquire, 180, 2940 - tabRow, 915, 255);
    placeTwips(m_cmdSave, 180, 3420 - tabRow, 915, 255);
    placeTwips(m_cmdLoad, 180, 3900 - tabRow, 915, 255);
    placeTwips(m_cmdLoadFromQuarvel, 180, 4380 - tabRow, 915, 495);
    placeTwips(m_chart, 1320, 420 - tabRow, 6375, 4695);
    m_chartDrawn = m_chart->geometry();
    // Beside the chart, in the room a wider window gives it.
    m_chartTools = new ChartTools(
        m_chart, m_acquisition->model(), m_prompter,
        [this] { return numberOf(m_acquisition->secondsText()).value_or(numberOf(m_txtStime->text()).value_or(1)); },
        this);
    m_chartTools->setObjectName(QStringLiteral("chartTools"));
    m_chartTools->setGeometry(m_chart->geometry().right() + twips(kToolsGapTwips), m_chart->y(),
                              twips(kToolsWidthTwips), m_chart->height());
    // The offer of a record left unsaved: across the top of the chart until the user chooses.
    m_keptBar = new QFrame(this);
    m_keptBar->setObjectName(QStringLiteral("keptRecordBar"));
    m_keptBar->setFrameShape(QFrame::StyledPanel);
    m_keptBar->setAutoFillBackground(true);
    m_keptText = new QLabel(m_keptBar);
    m_keptText->setWordWrap(true);
    m_cmdRestoreKept = namedButton(m_keptBar, "cmdRestoreKept", QStringLiteral("Restore"),
                                   QStringLiteral("Show the record on this tab, ready to be saved."));
    auto* discard = namedButton(m_keptBar, "cmdDiscardKept", QStringLiteral("Discard"),
                                QStringLiteral("Delete the record for good."));
    auto* barLayout = new QHBoxLayout(m_keptBar);
    barLayout->addWidget(m_keptText, 1);
    barLayout->addWidget(m_cmdRestoreKept);
    barLayout->addWidget(discard);
    m_keptBar->hide();
    connect(m_cmdRestoreKept, &QPushButton::clicked, this, &RecordTab::restoreKeptRecord);
    connect(discard, &QPushButton::clicked, this, &RecordTab::discardKeptRecord);

    // The button is two lines high: its caption takes both.
    m_cmdLoadFromQuarvel->setText(QStringLiteral("Load from\nQuarvel"));
    m_cmdLoadFromQuarvel->setAccessibleName(QStringLiteral("Load from Quarvel"));

    connect(m_cmdAcquire, &QPushButton::clicked, this, &RecordTab::cmdAcquire_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &RecordTab::cmdSave_Click);
    connect(m_cmdLoad, &QPushButton::clicked, this, &RecordTab::cmdLoad_Click);
    connect(m_cmdLoadFromQuarvel, &QPushButton::clicked, this, &RecordTab::cmdLoadFromQuarvel_Click);
    connect(&m_acquisition->timer(), &SampleTimer::sampleDue, this, &RecordTab::tmrAcquire_Timer);
    connect(m_acquisition, &LiveAcquisition::stateChanged, this, &RecordTab::showState);
    connect(m_acquisition, &LiveAcquisition::doubled, m_txtTtime, &QLineEdit::setText);
    connect(m_acquisition, &LiveAcquisition::ended, this, &RecordTab::acquisitionEnded);
    connect(m_acquisition, &LiveAcquisition::sampled, m_chartTools,
            [this](int, std::optional<double> volts) { m_chartTools->sampleTaken(volts); });
    connect(m_acquisition, &LiveAcquisition::stateChanged, m_chartTools, [this](LiveAcquisition::State state) {
        m_chartTools->setAcquiring(state == LiveAcquisition::State::Acquiring);
    });
}

void RecordTab::showState(LiveAcquisition::State state)
{
    const bool taking = state == LiveAcquisition::State::Acquiring || state == LiveAcquisition::State::Suspended;
    m_cmdAcquire->setText(taking ? kStop : kAcquire);
    setFileButtonsEnabled(!taking);
}

void RecordTab::acquisitionEnded(LiveAcquisition::State state)
{
    if (state == LiveAcquisition::State::Full)
        m_prompter.inform(fullRecordMessage());
}

void RecordTab::setFileButtonsEnabled(bool enabled)
{
    // Save stays usable while a record is taken (also while the instrument is unplugged): it
    // writes what has been recorded so far. Only replacing the record waits for its end.
    m_cmdLoad->setEnabled(enabled);
    m_cmdLoadFromQuarvel->setEnabled(enabled);
    m_cmdRestoreKept->setEnabled(enabled);
    // The settings belong to the record being taken: they change only between records.
    m_txtStime->setReadOnly(!enabled);
    m_txtTtime->setReadOnly(!enabled);
}

void RecordTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The chart keeps its drawn size and takes whatever room a larger window gives.
    constexpr int edge = 8;
    const int tools = twips(kToolsWidthTwips + kToolsGapTwips);
    m_chart->setGeometry(m_chartDrawn.x(), m_chartDrawn.y(),
                         std::max(m_chartDrawn.width(), width() - m_chartDrawn.x() - edge - tools),
                         std::max(m_chartDrawn.height(), height() - m_chartDrawn.y() - edge));
    m_chartTools->setGeometry(m_chart->geometry().right() + twips(kToolsGapTwips), m_chart->y(),
                              twips(kToolsWidthTwips), m_chart->height());
    m_keptBar->setGeometry(m_chart->x(), m_chart->y(), m_chart->width(), m_keptBar->sizeHint().height());
}

void RecordTab::keepRecordsIn(const QString& folder)
{
    delete m_keeper;
    m_keeper = new RecordKeeper(*m_acquisition, folder, this);
    connect(m_keeper, &RecordKeeper::keepFailed, this, [this](const QString& message) { m_prompter.inform(message); });
    m_offered = m_keeper->claimLeftRecords();
    offerNextKeptRecord();
}

void RecordTab::offerNextKeptRecord()
{
    if (m_offered.isEmpty()) {
        m_keptBar->hide();
        return;
    }
    const RecordKeeper::Kept& kept = m_offered.first();
    m_keptText->setText(QStringLiteral("A record started on %1 at %2 with %3 samples was not saved. Restore it to save "
                                       "it, or discard it.")
                            .arg(kept.started.toString(QStringLiteral("yyyy-MM-dd")),
                                 kept.started.toString(QStringLiteral("HH:mm:ss")))
                            .arg(kept.samples));
    m_keptBar->setGeometry(m_chart->x(), m_chart->y(), m_chart->width(), m_keptBar->sizeHint().height());
    m_keptBar->show();
    m_keptBar->raise();
}

void RecordTab::restoreKeptRecord()
{
    if (m_offered.isEmpty() || !m_keeper)
        return;
    const RecordFileLoad load = m_keeper->restore(m_offered.first().path);
    showLoadedRecord(load);
    if (load.settings)
        m_offered.removeFirst();
    if (!load.error.isEmpty())
        m_prompter.inform(load.error);
    offerNextKeptRecord();
}

void RecordTab::discardKeptRecord()
{
    if (m_offered.isEmpty() || !m_keeper)
        return;
    if (const QString error = m_keeper->discard(m_offered.takeFirst().path); !error.isEmpty())
        m_prompter.inform(error);
    offerNextKeptRecord();
}

void RecordTab::enterTab()
{
    if (m_acquisition->state() == LiveAcquisition::State::Suspended) {
        m_acquisition->resume();
        return;
    }
    if (m_holdsRecord)
        return;
    RecordSettings settings;
    const QString problem = checkRecordSettings(m_txtStime->text(), m_txtTtime->text(), settings);
    if (!problem.isEmpty()) {
        m_prompter.inform(problem);
        return;
    }
    m_acquisition->newRecord(settings, m_txtStime->text(), m_txtTtime->text());
}

void RecordTab::leaveTab()
{
    m_acquisition->suspend();
}

void RecordTab::cmdAcquire_Click()
{
    if (m_acquisition->isTaking()) {
        m_acquisition->stop();
        return;
    }
    const QString problem = m_acquisition->start(m_txtStime->text(), m_txtTtime->text());
    if (!problem.isEmpty()) {
        m_prompter.inform(problem);
        return;
    }
    m_holdsRecord = true;
}

void RecordTab::tmrAcquire_Timer()
{
    m_acquisition->takeSample();
}

void RecordTab::cmdSave_Click()
{
    const QString path = m_prompter.saveFileName(QStringLiteral("Define data file name..."), kPattern, kPattern);
    if (path.isEmpty())
        return;
    const RecordFileContent content =
        recordFileContent(m_acquisition->model(), m_acquisition->secondsText(), m_acquisition->minutesText(),
                          m_prompter.askText(QStringLiteral("Enter comments.")));
    const QString error = RecordFileWriter::save(path, content);
    if (error.isEmpty() && m_keeper)
        m_keeper->recordSaved();
    if (!error.isEmpty())
        m_prompter.inform(error);
    else if (RecordFileWriter::savedComment(content.comment) != content.comment)
        m_prompter.inform(QStringLiteral("Each double quote of the comment was saved as two apostrophes (''), so "
                                         "that the file gives back the whole comment."));
}

void RecordTab::cmdLoad_Click()
{
    const QString path = m_prompter.openFileName(QStringLiteral("Load data file..."), kPattern, kPattern);
    if (path.isEmpty())
        return;
    const RecordFileLoad load = RecordFileReader::load(path, m_txtStime->text(), m_txtTtime->text());
    if (load.settings && m_keeper)
        m_keeper->recordReplaced();
    showLoadedRecord(load);
    if (!load.error.isEmpty())
        m_prompter.inform(load.error);
}

void RecordTab::showLoadedRecord(const RecordFileLoad& load)
{
    if (!load.settings)
        return; // a file that holds no record changes nothing
    if (load.comment)
        m_chart->setCaption(*load.comment);
    if (load.secondsText)
        m_txtStime->setText(*load.secondsText);
    if (load.minutesText)
        m_txtTtime->setText(*load.minutesText);
    m_acquisition->newRecord(*load.settings, m_txtStime->text(), m_txtTtime->text());
    m_holdsRecord = true;
    RecordModel& model = m_acquisition->model();
    model.setPoints(1, load.labels, load.values); // points past the last one read stay gaps
    model.setCursor(load.labels.isEmpty() ? 1 : load.labels.size());
}

void RecordTab::cmdLoadFromQuarvel_Click()
{
    if (!m_link.reachable())
        return; // the record shown stays
    StoredRecordImport stored;
    {
        BusyPointer busy;
        stored = StoredRecordImport::fetch(m_link, m_recordDwellTime ? m_recordDwellTime() : QString());
    }
    if (!stored.error.isEmpty()) {
        m_prompter.inform(stored.error);
        return;
    }
    if (m_keeper)
        m_keeper->recordReplaced(); // a stored record stays in the instrument: it need not be kept
    m_txtStime->setText(stored.secondsText);
    m_txtTtime->setText(stored.minutesText);
    m_acquisition->newRecord(stored.settings, stored.secondsText, stored.minutesText);
    m_holdsRecord = true;
    RecordModel& model = m_acquisition->model();
    model.setValues(1, stored.values); // points past the last value sent stay gaps
    model.setCursor(static_cast<int>(stored.values.size()) + 1);
    if (!stored.warning.isEmpty())
        m_prompter.inform(stored.warning);
}

} // namespace quarvel
