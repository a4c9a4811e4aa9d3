#include "recorder/ui/ReportHistoryControls.h"

#include "recorder/BatteryHistory.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

namespace quarvel {

namespace {
const QString kPackKey = QStringLiteral("History/Pack");
const QString kProfileKey = QStringLiteral("History/Profile");
const QString kKeepKey = QStringLiteral("History/Keep");
} // namespace

ReportHistoryControls::ReportHistoryControls(QString historyPath, QString settingsFile,
                                             std::function<QString(int)> profileName, QWidget* parent)
    : QWidget(parent), m_historyPath(std::move(historyPath)), m_settingsFile(std::move(settingsFile)),
      m_profileName(std::move(profileName)), m_pack(new QLineEdit(this)), m_profile(new QComboBox(this)),
      m_keep(new QCheckBox(QStringLiteral("&Keep in history"), this)), m_status(new QLabel(this))
{
    m_pack->setObjectName(QStringLiteral("txtPackLabel"));
    m_pack->setToolTip(QStringLiteral("The pack the report is kept under in the battery history"));
    m_profile->setObjectName(QStringLiteral("cboHistoryProfile"));
    m_profile->addItems({QStringLiteral("Profile A"), QStringLiteral("Profile B")});
    m_keep->setObjectName(QStringLiteral("chkKeepHistory"));
    m_keep->setToolTip(QStringLiteral("Add a row to the battery history each time the report is updated"));
    m_status->setObjectName(QStringLiteral("lblHistoryStatus"));
    m_status->setWordWrap(true);
    auto* packLabel = new QLabel(QStringLiteral("&Pack label"), this);
    auto* profileLabel = new QLabel(QStringLiteral("Pr&ofile"), this);
    labelField(packLabel, m_pack);
    labelField(profileLabel, m_profile);
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setRowWrapPolicy(QFormLayout::WrapAllRows);
    layout->addRow(packLabel, m_pack);
    layout->addRow(profileLabel, m_profile);
    layout->addRow(m_keep);
    layout->addRow(m_status);

    if (!m_settingsFile.isEmpty()) {
        const QSettings settings(m_settingsFile, QSettings::IniFormat);
        m_pack->setText(settings.value(kPackKey).toString());
        m_profile->setCurrentIndex(qBound(0, settings.value(kProfileKey).toInt(), 1));
        m_keep->setChecked(settings.value(kKeepKey).toBool());
    }
    connect(m_pack, &QLineEdit::editingFinished, this, &ReportHistoryControls::remember);
    connect(m_profile, &QComboBox::currentIndexChanged, this, &ReportHistoryControls::remember);
    connect(m_keep, &QCheckBox::toggled, this, &ReportHistoryControls::remember);
}

void ReportHistoryControls::remember() const
{
    if (m_settingsFile.isEmpty())
        return;
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.setValue(kPackKey, m_pack->text());
    settings.setValue(kProfileKey, m_profile->currentIndex());
    settings.setValue(kKeepKey, m_keep->isChecked());
}

QString ReportHistoryControls::status() const
{
    return m_status->text();
}

QString ReportHistoryControls::reportRead(const QString& noLoad, const QString& loaded, const QString& impedance)
{
    if (!m_keep->isChecked())
        return {};
    remember();
    const BatteryReport report{QDateTime::currentDateTime(),
                               m_instrument,
                               m_pack->text().trimmed(),
                               m_profileName ? m_profileName(m_profile->currentIndex()).trimmed() : QString(),
                               noLoad,
                               loaded,
                               impedance};
    const QString error = BatteryHistory::append(m_historyPath, report);
    m_status->setText(error.isEmpty()
                          ? QStringLiteral("Kept at %1").arg(report.time.toString(QStringLiteral("HH:mm:ss")))
                          : QStringLiteral("Not kept"));
    return error;
}

QString ReportHistoryControls::reportNotRead()
{
    if (!m_keep->isChecked())
        return {};
    m_status->setText(QStringLiteral("Not kept: not read"));
    return QStringLiteral("The QUARVEL did not answer the report (it is unplugged or silent), so the values shown are "
                          "not a report read now. Nothing was kept in the battery history.");
}

} // namespace quarvel
