#pragma once

#include "link/PortInfo.h"

#include <QDialog>

#include <optional>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace quarvel {

class PortSearch;
class Prompter;

// "Search all ports": asks each port in turn whether a Quarvel answers, with the progress and a
// Cancel button, then names the ports that could not be opened and lets the user pick where a
// Quarvel answered (the only one is taken at once). The caller switches to the port chosen.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kButtonText = QStringLiteral("Search all ports");

    SearchDialog(const QList<PortInfo>& ports, const QString& portSettings, Prompter& prompter,
                 QWidget* parent = nullptr);
    ~SearchDialog() override;

    // The port the user chose; nothing when cancelled or when no Quarvel answered.
    std::optional<PortInfo> chosen() const { return m_chosen; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void searchDone();
    void useSelected();

    PortSearch* m_search;
    QLabel* m_lblStatus;
    QProgressBar* m_progress;
    QLabel* m_lblFound;
    QListWidget* m_lstFound;
    QLabel* m_lblSkipped;
    QPushButton* m_cmdUse;
    QPushButton* m_cmdCancel;
    std::optional<PortInfo> m_chosen;
    bool m_started = false;
};

} // namespace quarvel
