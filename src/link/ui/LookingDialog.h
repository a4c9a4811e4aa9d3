#pragma once

#include "link/PortInfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace quarvel {

class PortOffer;
class SerialLink;

// Shown modally at start-up while the program looks for the instrument. Closes by itself when the
// instrument answers; otherwise grows to show the failure message and an OK button, beside
// "Search all ports", a button to use the instrument's last port when it is present, and one that
// asks to look for a boot loader that is already running (the caller does what was chosen).
// A port that appears meanwhile is taken at once when the program may ask it by itself, and
// otherwise offered under the failure message.
class LookingDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kFailureText = QStringLiteral(
        "Could not locate QUARVEL, please try a different comm port. Make sure QUARVEL is connected to a valid "
        "comm port.");

    enum class Choice { None, Search, Remembered, BootLoader, Arrived };

    explicit LookingDialog(SerialLink& link, QWidget* parent = nullptr);

    // Why the port could not be opened; shown with the failure message.
    void setPortProblem(const QString& problem);

    // The port where the instrument answered before ("port 3, /dev/ttyUSB2"), offered on failure.
    void offerRemembered(const QString& title);

    // A port appeared. expected: one the program asks by itself (port 1, the remembered adapter):
    // the failure view closes with Choice::Arrived, at once or when the search ends without an
    // answer. Any other is offered, and chosen only by its button.
    void portAppeared(const PortInfo& port, bool expected);
    void portGone(const QString& device);
    // The port that appeared and was taken or chosen (Choice::Arrived).
    PortInfo arrival() const { return m_arrival; }

    bool found() const { return m_found; }
    // The instrument's answer to the identify exchange; empty when it was not found.
    QString identification() const { return m_identification; }
    bool failureShown() const;
    // What the user chose in the failure view.
    Choice choice() const { return m_choice; }
    // The user closed the failure view asking to look for a running boot loader.
    bool bootLoaderSearchAsked() const { return m_choice == Choice::BootLoader; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void findQuarvel();
    // The failure view's size, with the offer of a port that appeared below it when there is one.
    void fitFailureView();

    SerialLink& m_link;
    QLabel* m_failure;
    QLabel* m_portProblem;
    QPushButton* m_ok;
    QPushButton* m_cmdSearch;
    QPushButton* m_cmdRemembered;
    QPushButton* m_findLoader;
    PortOffer* m_offer;
    PortInfo m_arrival;
    QSize m_failureSize;
    Choice m_choice = Choice::None;
    bool m_started = false;
    bool m_found = false;
    QString m_identification;
};

} // namespace quarvel
