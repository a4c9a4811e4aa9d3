#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quarvel {

class SerialLink;

// Shown modally at start-up while the program looks for the instrument. Closes by itself when the
// instrument answers; otherwise grows to show the failure message and an OK button, beside
// "Search all ports" and, when the instrument's last port is present, a button to use it.
class LookingDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kFailureText = QStringLiteral(
        "Could not locate QUARVEL, please try a different comm port. Make sure QUARVEL is connected to a valid "
        "comm port.");

    enum class Choice { None, Search, Remembered };

    explicit LookingDialog(SerialLink& link, QWidget* parent = nullptr);

    // Why the port could not be opened; shown with the failure message.
    void setPortProblem(const QString& problem);

    // The port where the instrument answered before ("port 3, /dev/ttyUSB2"), offered on failure.
    void offerRemembered(const QString& title);

    bool found() const { return m_found; }
    bool failureShown() const;
    // What the user chose in the failure view.
    Choice choice() const { return m_choice; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void findQuarvel();

    SerialLink& m_link;
    QLabel* m_failure;
    QLabel* m_portProblem;
    QPushButton* m_ok;
    QPushButton* m_cmdSearch;
    QPushButton* m_cmdRemembered;
    Choice m_choice = Choice::None;
    bool m_started = false;
    bool m_found = false;
};

} // namespace quarvel
