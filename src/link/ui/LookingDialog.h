#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quarvel {

class SerialLink;

// Shown modally at start-up while the program looks for the instrument. Closes by itself when the
// instrument answers; otherwise grows to show the failure message, an OK button and a button that
// asks to look for a boot loader that is already running (which the caller then does).
class LookingDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kFailureText = QStringLiteral(
        "Could not locate QUARVEL, please try a different comm port. Make sure QUARVEL is connected to a valid "
        "comm port.");

    explicit LookingDialog(SerialLink& link, QWidget* parent = nullptr);

    // Why the port could not be opened; shown with the failure message.
    void setPortProblem(const QString& problem);

    bool found() const { return m_found; }
    // The instrument's answer to the identify exchange; empty when it was not found.
    QString identification() const { return m_identification; }
    bool failureShown() const;
    // The user closed the failure view asking to look for a running boot loader.
    bool bootLoaderSearchAsked() const { return m_bootLoaderSearchAsked; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void findQuarvel();

    SerialLink& m_link;
    QLabel* m_failure;
    QLabel* m_portProblem;
    QPushButton* m_ok;
    QPushButton* m_findLoader;
    bool m_started = false;
    bool m_bootLoaderSearchAsked = false;
    bool m_found = false;
    QString m_identification;
};

} // namespace quarvel
