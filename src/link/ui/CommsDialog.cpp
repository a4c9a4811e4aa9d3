#include "link/ui/CommsDialog.h"

#include "link/PortLocator.h"
#include "link/PortNumberText.h"
#include "link/PortSettingsFile.h"
#include "link/Prompter.h"
#include "link/SerialPort.h"
#include "ui/Twips.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>

namespace quarvel {

namespace {

// The classic dialog is 2475 twips wide; the panel on the right helps find the port number.
constexpr int kClassicWidth = 2475;
constexpr int kPanelWidth = 4200;
constexpr int kClientWidth = kClassicWidth + kPanelWidth + 120;
constexpr int kClientHeight = 2460;
// Port numbers looked up when naming the system's ports; beyond this nobody types one.
constexpr int kHighestListedPort = 64;

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
    placeTwips(m_lstPorts, kClassicWidth, 720, kPanelWidth, 1140);
    labelField(lblPorts, m_lstPorts);

    m_lblFileStatus = new QLabel(this);
    m_lblFileStatus->setObjectName(QStringLiteral("lblFileStatus"));
    m_lblFileStatus->setWordWrap(true);
    placeTwips(m_lblFileStatus, kClassicWidth, 1920, kPanelWidth, 480);

    setTabOrder(m_txtCommPort, m_optBaudrate[kDefaultSpeed]);
    setTabOrder(m_optBaudrate[kDefaultSpeed], m_cmdApply);
    setTabOrder(m_cmdApply, m_lstPorts);
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
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        QString text = info.portName();
        if (!info.description().isEmpty())
            text += QStringLiteral(" - ") + info.description();
        int named = 0;
        for (int n = 1; n <= kHighestListedPort && named == 0; ++n) {
            if (deviceForPort(n, m_configFolder) == info.systemLocation())
                named = n;
        }
        auto* item = new QListWidgetItem(m_lstPorts);
        if (named > 0) {
            text += tr(" (Com %1)").arg(named);
            item->setData(Qt::UserRole, named);
        }
        item->setText(text);
    }
    if (ports.isEmpty())
        m_lstPorts->addItem(tr("(the system reports no serial ports)"));
}

void CommsDialog::lstPortsActivated(QListWidgetItem* item)
{
    // Picking a listed port fills in the number that names it.
    const QVariant number = item->data(Qt::UserRole);
    if (number.isValid())
        m_txtCommPort->setText(QString::number(number.toInt()));
}

} // namespace quarvel
