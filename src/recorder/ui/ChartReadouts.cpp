#include "recorder/ui/ChartReadouts.h"

#include "recorder/RecordArithmetic.h"
#include "recorder/RecordModel.h"
#include "recorder/TimeAxisLabels.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quarvel {

namespace {
QString volts(double v)
{
    return QString::number(v, 'f', 2) + QStringLiteral(" V");
}

QString crossing(const RecordModel& model, std::optional<int> index, bool level)
{
    if (!level)
        return QStringLiteral("no level");
    if (!index)
        return QStringLiteral("never");
    return shortTimeText(model.label(*index + 1)) + QStringLiteral(" min");
}
} // namespace

ChartReadouts::ChartReadouts(QWidget* parent)
    : QWidget(parent), m_latest(new QLabel(this)), m_range(new QLabel(this)), m_crossings(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (QLabel* label : {m_latest, m_range, m_crossings}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::TabFocus); // the numbers can be reached and read from the keyboard
        layout->addWidget(label);
    }
    m_latest->setObjectName(QStringLiteral("lblLatest"));
    m_range->setObjectName(QStringLiteral("lblStatistics"));
    m_crossings->setObjectName(QStringLiteral("lblBelowLevels"));
    layout->addStretch();
}

void ChartReadouts::show(const RecordModel& model, const RecordStatistics& s, bool acquiring,
                         std::optional<double> latest, bool warningLevel, bool lowLevel)
{
    m_latest->setVisible(acquiring);
    m_latest->setText(QStringLiteral("Latest: %1").arg(latest ? volts(*latest) : QStringLiteral("no value")));
    m_range->setText(s.count == 0 ? QStringLiteral("No recorded points")
                                  : QStringLiteral("Minimum: %1\nMaximum: %2\nMean: %3")
                                        .arg(volts(s.minimum), volts(s.maximum), volts(s.mean)));
    m_crossings->setText(QStringLiteral("Below Warning: %1\nBelow Low: %2")
                             .arg(crossing(model, s.firstBelowWarning, warningLevel),
                                  crossing(model, s.firstBelowLow, lowLevel)));
    for (QLabel* label : {m_latest, m_range, m_crossings})
        label->setAccessibleName(label->text());
}

QString ChartReadouts::text() const
{
    QStringList parts;
    for (QLabel* label : {m_latest, m_range, m_crossings}) {
        if (!label->isHidden())
            parts.append(label->text());
    }
    return parts.join(QLatin1Char('\n'));
}

} // namespace quarvel
