#include "recorder/ui/HistoryView.h"

#include "recorder/RecordArithmetic.h"
#include "ui/Twips.h"

#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>

namespace quarvel {

namespace {
const QString kNoLabel = QStringLiteral("(no label)");

QString packOf(const BatteryReport& row)
{
    return row.pack.isEmpty() ? kNoLabel : row.pack;
}

QValueAxis* valueAxis(const QString& title, const std::vector<double>& values)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    double low = INFINITY;
    double high = -INFINITY;
    for (const double v : values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (std::isfinite(low)) {
        const double air = std::max(0.05 * (high - low), 0.01 * std::abs(high) + 1e-3);
        axis->setRange(low - air, high + air);
        axis->applyNiceNumbers(); // round steps, so a change reads off the grid
    }
    return axis;
}
} // namespace

HistoryView::HistoryView(QString historyPath, QWidget* parent)
    : QDialog(parent), m_path(std::move(historyPath)), m_packs(new QComboBox(this)), m_table(new QTableWidget(this)),
      m_chart(new QChartView(this)), m_where(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Battery history"));
    m_packs->setObjectName(QStringLiteral("cboPack"));
    m_table->setObjectName(QStringLiteral("tblHistory"));
    m_table->setAccessibleName(QStringLiteral("Reports of the pack"));
    m_chart->setObjectName(QStringLiteral("chtHistory"));
    m_chart->setAccessibleName(QStringLiteral("The pack's report values over time"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setColumnCount(6);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Instrument"), QStringLiteral("Profile"),
                                        QStringLiteral("No load voltage"), QStringLiteral("Loaded voltage"),
                                        QStringLiteral("Impedance")});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->hide();
    m_chart->setMinimumHeight(twips(3600));
    m_where->setText(QStringLiteral("Kept in %1").arg(QDir::toNativeSeparators(m_path)));
    m_where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* packLabel = new QLabel(QStringLiteral("&Pack"), this);
    labelField(packLabel, m_packs);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(packLabel);
    layout->addWidget(m_packs);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_chart, 2);
    layout->addWidget(m_where);
    resize(twips(10500), twips(8400));
    connect(m_packs, &QComboBox::currentIndexChanged, this, &HistoryView::showPack);
}

QString HistoryView::reload()
{
    const BatteryHistory::Contents contents = BatteryHistory::read(m_path);
    m_rows = contents.rows;
    const QString current = m_packs->currentText();
    QStringList packs;
    for (const BatteryReport& row : m_rows) {
        if (!packs.contains(packOf(row)))
            packs.append(packOf(row));
    }
    const QSignalBlocker block(m_packs);
    m_packs->clear();
    m_packs->addItems(packs);
    m_packs->setCurrentIndex(std::max(0, static_cast<int>(packs.indexOf(current))));
    showPack();
    return contents.error;
}

void HistoryView::showPack()
{
    const QString pack = m_packs->currentText();
    QList<const BatteryReport*> rows;
    for (const BatteryReport& row : m_rows) {
        if (packOf(row) == pack)
            rows.append(&row);
    }
    m_table->setRowCount(rows.size());
    auto* chart = new QChart;
    chart->setTitle(pack.isEmpty() ? QStringLiteral("No reports kept yet") : pack);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("yyyy-MM-dd"));
    time->setTitleText(QStringLiteral("Date"));
    chart->addAxis(time, Qt::AlignBottom);
    const struct {
        QString name;
        QString BatteryReport::*field;
        bool volts;
    } lines[] = {{QStringLiteral("No load voltage"), &BatteryReport::noLoad, true},
                 {QStringLiteral("Loaded voltage"), &BatteryReport::loaded, true},
                 {QStringLiteral("Impedance"), &BatteryReport::impedance, false}};
    std::vector<double> volts;
    std::vector<double> impedance;
    QList<QLineSeries*> series;
    for (const auto& line : lines) {
        auto* s = new QLineSeries;
        s->setName(line.name);
        s->setPointsVisible(true);
        series.append(s);
    }
    for (int r = 0; r < rows.size(); ++r) {
        const BatteryReport& row = *rows[r];
        const QStringList cells{row.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")), row.instrument, row.profile,
                                row.noLoad, row.loaded, row.impedance};
        for (int c = 0; c < cells.size(); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(cells[c]));
        for (int i = 0; i < 3; ++i) {
            const auto v = numberOf(row.*(lines[i].field));
            if (!v || !row.time.isValid())
                continue;
            series[i]->append(row.time.toMSecsSinceEpoch(), *v);
            (lines[i].volts ? volts : impedance).push_back(*v);
        }
    }
    QValueAxis* voltAxis = valueAxis(QStringLiteral("Voltage"), volts);
    QValueAxis* impedanceAxis = valueAxis(QStringLiteral("Impedance"), impedance);
    chart->addAxis(voltAxis, Qt::AlignLeft);
    chart->addAxis(impedanceAxis, Qt::AlignRight);
    for (int i = 0; i < 3; ++i) {
        chart->addSeries(series[i]);
        series[i]->attachAxis(time);
        series[i]->attachAxis(lines[i].volts ? voltAxis : impedanceAxis);
    }
    if (!rows.isEmpty()) {
        const QDateTime first = rows.first()->time;
        const QDateTime last = rows.last()->time;
        time->setRange(first.addSecs(-3600), last > first ? last.addSecs(3600) : first.addSecs(3600));
    }
    QChart* old = m_chart->chart();
    m_chart->setChart(chart);
    delete old;
}

} // namespace quarvel
