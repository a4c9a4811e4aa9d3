#pragma once

#include <QDialog>

#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace quarvel {

class Prompter;
class SerialPort;

// "Communications...": choose the port number and line speed. "Apply" reopens the port at once
// and remembers the choice in "Quarvel.ini", which fills the dialog each time it becomes active.
// Modeless; deletes itself when closed (keep it in a QPointer to show a single instance).
class CommsDialog : public QDialog {
    Q_OBJECT
public:
    struct Speed {
        const char* caption;
        const char* tag; // the port's settings string
    };
    static constexpr std::array<Speed, 5> kSpeeds {{
        {"2400", "2400,n,8,1"},
        {"4800", "4800,n,8,1"},
        {"9600", "9600,n,8,1"},
        {"19200", "19200,n,8,1"},
        {"57600", "57600,n,8,1"},
    }};
    static constexpr int kDefaultSpeed = 2;

    CommsDialog(SerialPort& port, Prompter& prompter, QString configFolder, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    void buildLayout();
    void formActivate();
    void cmdApply_Click();
    int selectedSpeed() const;
    void showDevice();
    void listSystemPorts();
    void lstPortsActivated(QListWidgetItem* item);

    SerialPort& m_port;
    Prompter& m_prompter;
    QString m_configFolder;
    QLineEdit* m_txtCommPort = nullptr;
    std::array<QRadioButton*, kSpeeds.size()> m_optBaudrate {};
    QButtonGroup* m_speedGroup = nullptr;
    QPushButton* m_cmdApply = nullptr;
    QLabel* m_lblDevice = nullptr;
    QListWidget* m_lstPorts = nullptr;
    QLabel* m_lblFileStatus = nullptr;
};

} // namespace quarvel
