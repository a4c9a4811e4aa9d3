#include "link/ui/CommsDialog.h"

#include "link/PortCatalog.h"
#include "link/PortLocator.h"
#include "link/PortNumberText.h"
#include "link/PortSettingsFile.h"
#include "link/Prompter.h"
#include "link/SerialPort.h"
#include "link/ui/SearchDialog.h"
#include "ui/Twips.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace quarvel {

namespace {

// The classic dialog is 2475 twips wide; the panel on the right helps find the port number.
constexpr int kClassicWidth = 2475;
constexpr int kPanelWidth = 4200;
constexpr int kClientWidth = kClassicWidth + kPanelWidth + 120;
constexpr int kClientHeight = 2460;

} // namespace

CommsDialog::CommsDialog(SerialPort& port, Prompter& prompter, QString configFolder, QWidget* parent)
    : QDialog(parent), m_port(port), m_prompter(prompter), m_configFolder(std::move(configFolder))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("Communications..."));
    buildLayout();
    connect(m_txtCommPort, &QLineEdit::textChanged, this, &CommsDialog::showDevice);
    connect(m_cmdApply, &QPushButton::clicked, this, &CommsDialog::cmdApply_Click);
    connect(m_lstPorts, &QListWidget::itemActivated, this, &CommsDialog::lstPortsActivated);
    connect(m_cmdSearch, &QPushButton::clicked, this, &CommsDialog::cmdSearch_Click);
    showDevice();
}

void CommsDialog::buildLayout()
{
    setFixedSize(twips(kClientWidth), twips(kClientHeight));

    auto* lblCom = new QLabel(QStringLiteral("Com"), this);
    placeTwips(lblCom, 480, 120, 555, 255);
    m_txtCommPort = new QLineEdit(QStringLiteral("1"), this);
    m_txtCommPort->setObjectName(QStringLiteral("txtCommPort"));
    placeTwips(m_txtCommPort, 1200, 60, 795, 315);
    labelField(lblCom, m_txtCommPort);

    m_lblDevice = new QLabel(this);
    m_lblDevice->setObjectName(QStringLiteral("lblDevice"));
    m_lblDevice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    placeTwips(m_lblDevice, 2115, 120, kClientWidth - 2115 - 120, 255);

    auto* frame = new QGroupBox(QStringLiteral("Baudrate"), this);
    placeTwips(frame, 480, 420, 1515, 1695);
    m_speedGroup = new QButtonGroup(this);
    m_speedGroup->setExclusive(true);
    for (int i = 0; i < int(kSpeeds.size()); ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(kSpeeds[i].caption), frame);
        option->setObjectName(QStringLiteral("optBaudrate%1").arg(i));
        placeTwips(option, 420, 300 + 240 * i, 855, 195);
        m_speedGroup->addButton(option, i);
        m_optBaudrate[i] = option;
    }
    m_optBaudrate[kDefaultSpeed]->setChecked(true);

    m_cmdApply = new QPushButton(QStringLiteral("Apply"), this);
    m_cmdApply->setObjectName(QStringLiteral("cmdApply"));
    m_cmdApply->setDefault(true);
    placeTwips(m_cmdApply, 840, 2160, 795, 255);

    auto* lblPorts = new QLabel(tr("Serial ports on this system:"), this);
    placeTwips(lblPorts, kClassicWidth, 420, kPanelWidth, 255);
    m_lstPorts = new QListWidget(this);
    m_lstPorts->setObjectName(QStringLiteral("lstPorts"));
    placeTwips(m_lstPorts, kClassicWidth, 720, kPanelWidth, 900);
    labelField(lblPorts, m_lstPorts);
    m_lstPorts->setToolTip(tr("Press Enter or double-click a port to fill in its number."));

    m_cmdSearch = new QPushButton(SearchDialog::kButtonText, this);
    m_cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    m_cmdSearch->setToolTip(tr("Ask every port, at the speed selected, whether QUARVEL answers, and use the "
                               "port where it does."));
    placeTwips(m_cmdSearch, kClassicWidth, 1680, 1800, 315);

    m_lblFileStatus = new QLabel(this);
    m_lblFileStatus->setObjectName(QStringLiteral("lblFileStatus"));
    m_lblFileStatus->setWordWrap(true);
    placeTwips(m_lblFileStatus, kClassicWidth, 2040, kPanelWidth, 360);

    setTabOrder(m_txtCommPort, m_optBaudrate[kDefaultSpeed]);
    setTabOrder(m_optBaudrate[kDefaultSpeed], m_cmdApply);
    setTabOrder(m_cmdApply, m_lstPorts);
    setTabOrder(m_lstPorts, m_cmdSearch);
}

bool CommsDialog::event(QEvent* event)
{
    // Every activation shows the file's values again, discarding choices not applied.
    if (event->type() == QEvent::WindowActivate)
        formActivate();
    return QDialog::event(event);
}

void CommsDialog::formActivate()
{
    PortSettingsFile file(m_configFolder);
    const PortSettingsFile::Values values = file.read();
    // Shown in the dialog rather than in a message box: a box would re-activate the dialog.
    m_lblFileStatus->setText(file.errorString());
    m_txtCommPort->setText(values.port);
    for (int i = 0; i < int(kSpeeds.size()); ++i) {
        if (values.baudRate == QLatin1String(kSpeeds[i].caption))
            m_optBaudrate[i]->setChecked(true);
    }
    listSystemPorts();
}

int CommsDialog::selectedSpeed() const
{
    for (int i = 0; i < int(kSpeeds.size()); ++i) {
        if (m_optBaudrate[i]->isChecked())
            return i;
    }
    return -1;
}

void CommsDialog::cmdApply_Click()
{
    const QString portText = m_txtCommPort->text();
    const int speed = selectedSpeed();
    if (speed >= 0) {
        m_port.close();
        // A text that names no port keeps the previous number.
        if (const auto number = portNumberFromText(portText))
            m_port.setPortNumber(*number);
        m_port.setSettings(QString::fromLatin1(kSpeeds[speed].tag));
    }

    PortSettingsFile file(m_configFolder);
    const QString caption = speed >= 0 ? QString::fromLatin1(kSpeeds[speed].caption) : QString();
    if (!file.write(portText, caption))
        m_prompter.inform(file.errorString());

    if (!m_port.open()) {
        const QString error = m_port.errorString();
        m_port.close();
        m_prompter.inform(error.isEmpty() ? tr("The port could not be opened.") : error);
    }
    emit applied(m_searched);
    close();
}

void CommsDialog::showDevice()
{
    const auto number = portNumberFromText(m_txtCommPort->text());
    m_lblDevice->setText(number ? tr("Device: %1").arg(deviceForPort(*number, m_configFolder))
                                : tr("Device: none (type a port number)"));
}

void CommsDialog::listSystemPorts()
{
    m_lstPorts->clear();
    const QList<PortInfo> ports = PortCatalog::list(m_configFolder);
    for (const PortInfo& port : ports) {
        QStringList known{port.device};
        for (const QString& part : {port.description, port.manufacturer, port.usbId})
            if (!part.isEmpty() && !known.contains(part))
                known << part;
        if (!port.serialNumber.isEmpty())
            known << tr("serial number %1").arg(port.serialNumber);
        const QString number = port.portNumber > 0 ? tr("Com %1").arg(port.portNumber) : tr("Com ?");
        auto* item = new QListWidgetItem(number + QStringLiteral(": ") + known.join(QStringLiteral(", ")), m_lstPorts);
        item->setData(Qt::UserRole, port.portNumber);
        item->setData(Qt::UserRole + 1, port.device);
        if (port.portNumber == 0)
            item->setToolTip(tr("No number names this port yet; choosing it makes a link com<N> to it."));
    }
    if (ports.isEmpty())
        m_lstPorts->addItem(tr("(the system reports no serial ports)"));
}

void CommsDialog::lstPortsActivated(QListWidgetItem* item)
{
    // Picking a listed port fills in the number that names it; a port without one gets one.
    int number = item->data(Qt::UserRole).toInt();
    const QString device = item->data(Qt::UserRole + 1).toString();
    if (number == 0 && !device.isEmpty()) {
        QString error;
        number = PortCatalog::assignNumber(device, m_configFolder, &error);
        m_lblFileStatus->setText(number > 0 ? tr("Port %1 now names %2.").arg(number).arg(device) : error);
        if (number > 0)
            listSystemPorts();
    }
    if (number > 0)
        m_txtCommPort->setText(QString::number(number));
}

void CommsDialog::cmdSearch_Click()
{
    const int speed = selectedSpeed();
    emit searchRequested(speed >= 0 ? QString::fromLatin1(kSpeeds[speed].tag) : m_port.settings());
}

void CommsDialog::useSearchResult(int portNumber)
{
    m_txtCommPort->setText(QString::number(portNumber));
    m_searched = true;
    cmdApply_Click();
}

} // namespace quarvel
