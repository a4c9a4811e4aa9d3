#include "app/AboutDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About..."));
    auto* layout = new QVBoxLayout(this);

    auto* name = new QLabel(QStringLiteral("QUARVEL"), this);
    name->setObjectName(QStringLiteral("lblProduct"));
    QFont big = name->font();
    big.setPointSize(18);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto* description = new QLabel(
        QStringLiteral("Companion program of the QUARVEL model aircraft battery and servo tester"), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setAlignment(Qt::AlignCenter);
    layout->addWidget(description);

    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(QUARVEL_VERSION)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setAttribute(Qt::WA_DeleteOnClose);
}

} // namespace quarvel
