#include "link/ui/PortOffer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace quarvel {

PortOffer::PortOffer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("portOffer"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblPortOffer"));
    m_text->setWordWrap(true);
    layout->addWidget(m_text, 1);
    m_look = new QPushButton(kButtonText, this);
    m_look->setObjectName(QStringLiteral("cmdLookThere"));
    layout->addWidget(m_look, 0, Qt::AlignVCenter);
    connect(m_look, &QPushButton::clicked, this, [this] {
        const PortInfo port = m_port;
        withdraw();
        emit taken(port);
    });
    hide();
}

QString PortOffer::text(const PortInfo& port)
{
    const QString about = portDescription(port);
    return tr("A serial port appeared: %1%2. Look for the QUARVEL there?")
        .arg(port.device, about.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(about));
}

void PortOffer::offer(const PortInfo& port)
{
    m_port = port;
    m_text->setText(text(port));
    m_look->setAccessibleName(tr("Look for the QUARVEL on %1").arg(port.device));
    show();
}

void PortOffer::withdraw(const QString& device)
{
    if (!device.isEmpty() && device != m_port.device)
        return;
    m_port = PortInfo();
    hide();
}

} // namespace quarvel
