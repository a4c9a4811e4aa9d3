#include "link/ui/LookingDialog.h"

#include "link/DeviceDiscovery.h"
#include "link/ui/PortOffer.h"
#include "link/ui/SearchDialog.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace quarvel {

namespace {
constexpr int kWidthTwips = 3945;
constexpr int kSearchingHeightTwips = 600;
constexpr int kFailedHeightTwips = 2340;
} // namespace

LookingDialog::LookingDialog(SerialLink& link, QWidget* parent) : QDialog(parent), m_link(link)
{
    setWindowTitle(QStringLiteral("Quarvel"));
    auto* message = new QLabel(QStringLiteral("Looking for QUARVEL..."), this);
    message->setObjectName(QStringLiteral("lblMessage"));
    QFont big = message->font();
    big.setPointSizeF(13.5);
    big.setBold(true);
    message->setFont(big);
    placeTwips(message, 180, 120, 3555, 375);

    m_failure = new QLabel(kFailureText, this);
    m_failure->setObjectName(QStringLiteral("Label1"));
    m_failure->setWordWrap(true);
    m_failure->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont normal = m_failure->font();
    normal.setPointSizeF(9.75);
    m_failure->setFont(normal);
    placeTwips(m_failure, 300, 720, 3555, 1095);

    m_portProblem = new QLabel(this);
    m_portProblem->setObjectName(QStringLiteral("lblPortProblem"));
    m_portProblem->setWordWrap(true);
    m_portProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_portProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_portProblem->hide();

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    placeTwips(m_ok, 3300, 1560, 495, 315);
    m_ok->setEnabled(false); // usable once the failure is shown
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    // The user is never sent to "Comm" to find a device the program can find itself.
    m_cmdSearch = new QPushButton(SearchDialog::kButtonText, this);
    m_cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    m_cmdRemembered = new QPushButton(this);
    m_cmdRemembered->setObjectName(QStringLiteral("cmdRemembered"));
    // An instrument whose programming stopped part-way answers only as its boot loader.
    m_findLoader = new QPushButton(QStringLiteral("Look for Boot Loader"), this);
    m_findLoader->setObjectName(QStringLiteral("cmdFindLoader"));
    m_findLoader->setToolTip(QStringLiteral("Look for a boot loader that is already running, as after a firmware "
                                            "update that stopped part-way"));
    for (auto [button, choice] : {std::pair{m_cmdSearch, Choice::Search}, std::pair{m_cmdRemembered, Choice::Remembered},
                                  std::pair{m_findLoader, Choice::BootLoader}}) {
        button->setEnabled(false);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, choice = choice] {
            m_choice = choice;
            accept();
        });
    }

    m_offer = new PortOffer(this);
    connect(m_offer, &PortOffer::taken, this, [this](const PortInfo& port) {
        m_arrival = port;
        m_choice = Choice::Arrived;
        accept();
    });

    // At first only the message is visible; the failure text and OK lie below the client area.
    setFixedSize(twips(kWidthTwips), twips(kSearchingHeightTwips));
}

void LookingDialog::offerRemembered(const QString& title)
{
    m_cmdRemembered->setText(tr("Use %1").arg(title));
    m_cmdRemembered->setProperty("offered", !title.isEmpty());
}

void LookingDialog::portAppeared(const PortInfo& port, bool expected)
{
    if (m_found)
        return;
    if (!expected) {
        m_offer->offer(port);
        if (failureShown())
            fitFailureView();
        else
            m_offer->hide(); // shown with the failure view
        return;
    }
    m_arrival = port;
    m_choice = Choice::Arrived;
    if (failureShown())
        accept(); // else when the search ends
}

void LookingDialog::portGone(const QString& device)
{
    if (m_choice == Choice::Arrived && m_arrival.device == device) {
        m_arrival = PortInfo();
        m_choice = Choice::None;
    }
    if (m_offer->offering() && m_offer->port().device == device) {
        m_offer->withdraw();
        if (failureShown())
            fitFailureView();
    }
}

void LookingDialog::setPortProblem(const QString& problem)
{
    m_portProblem->setText(problem);
}

bool LookingDialog::failureShown() const
{
    return m_ok->isEnabled();
}

void LookingDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &LookingDialog::findQuarvel);
    }
}

void LookingDialog::findQuarvel()
{
    m_identification = identifyQuarvel(m_link).trimmed();
    m_found = !m_identification.isEmpty();
    if (m_found) {
        m_choice = Choice::None; // a port that appeared meanwhile is not needed
        accept();
        return;
    }
    if (m_choice == Choice::Arrived) { // port 1 or the remembered adapter appeared meanwhile
        accept();
        return;
    }
    // OK's row, where OK stood, or lower when the message needs more lines in this font.
    const int textBottom = m_failure->y() + m_failure->heightForWidth(m_failure->width());
    const int rowY = std::max(m_ok->y(), textBottom + twips(120));
    int extra = rowY - m_ok->y();
    m_ok->move(m_ok->x(), rowY);
    if (!m_portProblem->text().isEmpty()) {
        // Below the failure message, where OK stood; OK and the dialog's bottom move down.
        const int width = twips(3555);
        const int height = m_portProblem->heightForWidth(width) + twips(120);
        m_portProblem->setGeometry(twips(300), rowY, width, height - twips(120));
        m_portProblem->show();
        m_ok->move(m_ok->x(), m_ok->y() + height);
        extra += height;
    }
    // The other choices on OK's row, from the left; the dialog widens when they need it.
    int x = twips(300);
    for (QPushButton* button : {m_cmdSearch, m_cmdRemembered, m_findLoader}) {
        if (button == m_cmdRemembered && !button->property("offered").toBool())
            continue;
        const int width = button->sizeHint().width();
        button->setGeometry(x, m_ok->y(), width, m_ok->height());
        button->setEnabled(true);
        button->show();
        x += width + twips(120);
    }
    const int width = std::max(twips(kWidthTwips), x + m_ok->width() + twips(150));
    m_ok->move(width - twips(kWidthTwips - 3300), m_ok->y());
    m_failureSize = QSize(width, twips(kFailedHeightTwips) + extra);
    m_ok->setEnabled(true);
    fitFailureView();
    m_ok->setDefault(true);
    m_ok->setFocus();
}

void LookingDialog::fitFailureView()
{
    if (!m_offer->offering()) {
        setFixedSize(m_failureSize);
        return;
    }
    // Below everything else, across the dialog.
    const int width = m_failureSize.width() - twips(600);
    const int height = std::max(m_offer->heightForWidth(width), m_offer->sizeHint().height());
    m_offer->show();
    m_offer->setGeometry(twips(300), m_failureSize.height() - twips(120), width, height);
    setFixedSize(m_failureSize.width(), m_failureSize.height() + height + twips(60));
}

} // namespace quarvel
