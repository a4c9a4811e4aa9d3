#pragma once

#include "link/Prompter.h"

class QWidget;

namespace quarvel {

// Prompter on Qt's message boxes, input box and file dialogs, all titled "Quarvel".
class DialogPrompter : public Prompter {
public:
    explicit DialogPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void inform(const QString& text) override;
    bool askYesNo(const QString& text) override;
    QString askText(const QString& prompt) override;
    QString openFileName(const QString& title, const QString& pattern, const QString& initial) override;
    QStringList openFileNames(const QString& title, const QString& pattern, const QString& initial) override;
    QString saveFileName(const QString& title, const QString& pattern, const QString& initial) override;

private:
    QWidget* m_parent;
};

} // namespace quarvel
