#include "recorder/ui/ChartTools.h"

#include "link/Prompter.h"
#include "recorder/RecordCurve.h"
#include "recorder/RecordModel.h"
#include "recorder/RecordStatistics.h"
#include "recorder/image/ChartImageFile.h"
#include "recorder/image/ChartPainter.h"
#include "recorder/ui/ChartLimitLines.h"
#include "recorder/ui/ChartMarks.h"
#include "recorder/ui/ChartOverlays.h"
#include "recorder/ui/ChartReadouts.h"
#include "recorder/ui/VoltageChartView.h"
#include "ui/NamedButton.h"

#include <QCategoryAxis>
#include <QComboBox>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace quarvel {

ChartTools::ChartTools(VoltageChartView* view, RecordModel& model, Prompter& prompter,
                       std::function<double()> secondsPerPoint, QWidget* parent)
    : QWidget(parent), m_view(view), m_model(model), m_prompter(prompter)
{
    auto* limitsLabel = new QLabel(QStringLiteral("&Limits"), this);
    m_limits = new QComboBox(this);
    m_limits->setObjectName(QStringLiteral("cboLimits"));
    m_limits->addItems({QStringLiteral("none"), QStringLiteral("Profile A"), QStringLiteral("Profile B")});
    m_limits->setToolTip(QStringLiteral("Draw the High, Warning and Low voltage of a test profile on the chart."));
    limitsLabel->setBuddy(m_limits);
    m_limits->setAccessibleName(QStringLiteral("Limits"));
    m_compare = namedButton(this, "cmdCompare", QStringLiteral("Com&pare..."),
                       QStringLiteral("Lay a saved record file over the chart to compare it with the record shown."));
    m_overlayList = new QListWidget(this);
    m_overlayList->setObjectName(QStringLiteral("lstOverlays"));
    m_overlayList->setAccessibleName(QStringLiteral("Records compared"));
    m_remove = namedButton(this, "cmdRemoveOverlay", QStringLiteral("Remo&ve"),
                      QStringLiteral("Take the selected record off the chart."));
    m_saveImage = namedButton(this, "cmdSaveImage", QStringLiteral("Save Chart &Image..."),
                         QStringLiteral("Save the chart as shown as a PNG or SVG image."));
    m_readouts = new ChartReadouts(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(limitsLabel);
    layout->addWidget(m_limits);
    layout->addWidget(m_compare);
    layout->addWidget(m_overlayList, 1);
    layout->addWidget(m_remove);
    layout->addWidget(m_saveImage);
    layout->addWidget(m_readouts, 2);

    m_limitLines = new ChartLimitLines(view->chart(), view->timeAxis(), view->voltageAxis(), this);
    m_overlays = new ChartOverlays(view->chart(), view->timeAxis(), view->voltageAxis(), secondsPerPoint, this);
    m_marks = new ChartMarks(view, model, secondsPerPoint, this);
    overlaysChanged();

    connect(m_limits, &QComboBox::currentIndexChanged, this, &ChartTools::levelsChanged);
    connect(m_compare, &QPushButton::clicked, this, &ChartTools::compare);
    connect(m_remove, &QPushButton::clicked, this, &ChartTools::removeOverlay);
    connect(m_saveImage, &QPushButton::clicked, this, &ChartTools::saveImageAs);
    connect(m_overlays, &ChartOverlays::changed, this, &ChartTools::overlaysChanged);
    connect(view, &VoltageChartView::lineRefreshed, this, [this](double first, double last, int columns) {
        m_overlays->refresh(first, last, columns);
        updateLegend();
    });
    connect(&m_model, &RecordModel::layoutChanged, this, &ChartTools::levelsChanged); // the lines span the record
    connect(&m_model, &RecordModel::valuesChanged, this, &ChartTools::refreshReadouts);
    connect(&m_model, &RecordModel::valueChanged, this, &ChartTools::refreshReadouts);
    refreshReadouts();
}

void ChartTools::setLevelSource(std::function<VoltageLimits(Profile)> source)
{
    m_levelSource = std::move(source);
    levelsChanged();
}

void ChartTools::levelsChanged()
{
    const auto profile = static_cast<Profile>(m_limits->currentIndex());
    const VoltageLimits limits = profile != NoProfile && m_levelSource ? m_levelSource(profile) : VoltageLimits();
    m_limitLines->show(limits, m_model.pointCount() - 1);
    overlaysChanged(); // the value range holds the levels too
    refreshReadouts();
}

void ChartTools::refreshReadouts()
{
    const VoltageLimits& limits = m_limitLines->limits();
    const RecordStatistics statistics = RecordStatistics::of(m_model.rawValues(), limits.warning, limits.low);
    m_readouts->show(m_model, statistics, m_acquiring, m_latest, limits.warning.has_value(), limits.low.has_value());
}

void ChartTools::setAcquiring(bool acquiring)
{
    if (acquiring && !m_acquiring)
        m_latest.reset(); // a new record has no sample yet
    m_acquiring = acquiring;
    refreshReadouts();
}

void ChartTools::sampleTaken(std::optional<double> volts)
{
    m_latest = volts;
    refreshReadouts();
}

void ChartTools::compare()
{
    const QString pattern = QStringLiteral("*.csv");
    const QStringList paths = m_prompter.openFileNames(QStringLiteral("Compare with record files..."), pattern, pattern);
    for (const QString& path : paths)
        addOverlay(path); // a file that is no record is told and skipped; the others are added
}

bool ChartTools::addOverlay(const QString& path)
{
    const RecordCurveLoad load = loadRecordCurve(path);
    if (!load.loaded) {
        m_prompter.inform(load.error);
        return false;
    }
    m_overlays->add(load.curve);
    if (!load.warning.isEmpty())
        m_prompter.inform(load.warning);
    return true;
}

void ChartTools::removeOverlay()
{
    m_overlays->remove(m_overlayList->currentRow());
}

void ChartTools::overlaysChanged()
{
    m_overlayList->clear();
    const QList<ChartCurve>& curves = m_overlays->curves();
    for (int i = 0; i < curves.size(); ++i) {
        auto* item = new QListWidgetItem(curves[i].name, m_overlayList);
        item->setForeground(ChartPainter::curveColour(i + 1));
    }
    m_overlayList->setCurrentRow(curves.size() - 1);
    m_remove->setEnabled(!curves.isEmpty());
    auto [low, high] = m_overlays->valueRange();
    const VoltageLimits& limits = m_limitLines->limits();
    for (const auto& level : {limits.high, limits.warning, limits.low}) {
        if (level) {
            low = std::isnan(low) ? *level : std::min(low, *level);
            high = std::isnan(high) ? *level : std::max(high, *level);
        }
    }
    m_view->includeInVoltageRange(low, high);
    updateLegend();
}

void ChartTools::updateLegend()
{
    // A legend names each curve once there is more than one: the record's first piece stands
    // for the record, and each overlay's first piece for the overlay.
    QChart* chart = m_view->chart();
    const bool shown = !m_overlays->curves().isEmpty();
    chart->legend()->setVisible(shown);
    if (!shown)
        return;
    const QList<QAbstractSeries*> all = chart->series();
    QAbstractSeries* record = all.isEmpty() ? nullptr : all.first(); // the chart's first series
    if (!record)
        return;
    const QString caption = m_view->caption().trimmed();
    record->setName(caption.isEmpty() ? QStringLiteral("Record shown") : caption);
    for (QLineSeries* piece : m_view->lineSegments()) {
        for (QLegendMarker* marker : chart->legend()->markers(piece))
            marker->setVisible(piece == record);
    }
    for (QLegendMarker* marker : chart->legend()->markers(record))
        marker->setVisible(true);
}

void ChartTools::saveImageAs()
{
    const QString path = m_prompter.saveFileName(QStringLiteral("Save chart image..."), QStringLiteral("*.png *.svg"),
                                                 QStringLiteral("chart.png"));
    if (path.isEmpty())
        return;
    if (const QString error = saveImage(path); !error.isEmpty())
        m_prompter.inform(error);
}

QString ChartTools::saveImage(const QString& path) const
{
    return saveChartImage(path, m_view->size(), [this](QPainter& painter) { m_view->render(&painter); });
}

} // namespace quarvel
