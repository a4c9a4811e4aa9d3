#include "link/ui/SearchDialog.h"

#include "link/PortSearch.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quarvel {

SearchDialog::SearchDialog(const QList<PortInfo>& ports, const QString& portSettings, Prompter& prompter,
                           QWidget* parent)
    : QDialog(parent), m_search(new PortSearch(ports, portSettings, prompter, this))
{
    setWindowTitle(QStringLiteral("Quarvel"));
    auto* layout = new QVBoxLayout(this);
    m_lblStatus = new QLabel(tr("Looking for QUARVEL on %n port(s)...", nullptr, int(ports.size())), this);
    m_lblStatus->setObjectName(QStringLiteral("lblSearchStatus"));
    m_lblStatus->setWordWrap(true);
    layout->addWidget(m_lblStatus);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, int(ports.size()));
    m_progress->setValue(0);
    m_progress->setAccessibleName(tr("Ports asked"));
    layout->addWidget(m_progress);
    m_lblFound = new QLabel(tr("QUARVEL answered on these ports:"), this);
    m_lstFound = new QListWidget(this);
    m_lstFound->setObjectName(QStringLiteral("lstFound"));
    labelField(m_lblFound, m_lstFound);
    layout->addWidget(m_lblFound);
    layout->addWidget(m_lstFound);
    m_lblFound->hide();
    m_lstFound->hide();
    m_lblSkipped = new QLabel(this);
    m_lblSkipped->setObjectName(QStringLiteral("lblSkipped"));
    m_lblSkipped->setWordWrap(true);
    m_lblSkipped->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblSkipped->hide();
    layout->addWidget(m_lblSkipped);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cmdUse = new QPushButton(tr("&Use this port"), this);
    m_cmdUse->setObjectName(QStringLiteral("cmdUse"));
    m_cmdUse->hide();
    m_cmdCancel = new QPushButton(tr("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setDefault(true);
    buttons->addWidget(m_cmdUse);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(m_search, &PortSearch::probing, this, [this](int index, int count, const PortInfo& port) {
        m_progress->setValue(index);
        m_lblStatus->setText(tr("Asking %1 (%2 of %3)...").arg(portTitle(port)).arg(index + 1).arg(count));
    });
    connect(m_search, &PortSearch::finished, this, &SearchDialog::searchDone);
    connect(m_cmdCancel, &QPushButton::clicked, this, &SearchDialog::reject);
    connect(m_cmdUse, &QPushButton::clicked, this, &SearchDialog::useSelected);
    connect(m_lstFound, &QListWidget::itemActivated, this, &SearchDialog::useSelected);
}

SearchDialog::~SearchDialog() = default;

void SearchDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, m_search, &PortSearch::start);
    }
}

void SearchDialog::reject()
{
    // Cancel during the search stops it; the dialog closes once the port in hand is released.
    if (m_search->running()) {
        m_search->cancel();
        return;
    }
    QDialog::reject();
}

void SearchDialog::searchDone()
{
    if (m_search->cancelled()) {
        QDialog::reject();
        return;
    }
    m_progress->setValue(m_progress->maximum());
    QStringList skipped;
    for (const PortProbe& probe : m_search->results()) {
        if (probe.outcome == PortProbe::Outcome::NotOpened)
            skipped << tr("%1: %2").arg(portTitle(probe.port), probe.error);
    }
    if (!skipped.isEmpty()) {
        m_lblSkipped->setText(tr("Not searched, the port could not be opened:\n") + skipped.join(QLatin1Char('\n')));
        m_lblSkipped->show();
    }
    const QList<PortProbe> found = m_search->answered();
    if (found.size() == 1 && skipped.isEmpty()) {
        m_chosen = found.front().port;
        accept();
        return;
    }
    m_cmdCancel->setText(found.isEmpty() ? tr("Close") : tr("Cancel"));
    if (found.isEmpty()) {
        m_lblStatus->setText(tr("QUARVEL did not answer on any of the %n port(s) searched.", nullptr,
                                int(m_search->results().size())));
        m_cmdCancel->setFocus();
        return;
    }
    m_lblStatus->setText(tr("Choose the port to use."));
    for (const PortProbe& probe : found) {
        m_lstFound->addItem(tr("%1: %2").arg(portTitle(probe.port), probe.identification));
    }
    m_lstFound->setCurrentRow(0);
    m_lblFound->show();
    m_lstFound->show();
    m_cmdUse->show();
    m_cmdUse->setDefault(true);
    m_lstFound->setFocus();
}

void SearchDialog::useSelected()
{
    const int row = m_lstFound->currentRow();
    const QList<PortProbe> found = m_search->answered();
    if (row < 0 || row >= found.size())
        return;
    m_chosen = found[row].port;
    accept();
}

} // namespace quarvel
