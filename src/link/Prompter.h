#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// Every question and report to the user goes through this, so tests can answer and read them.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A message with an OK button.
    virtual void inform(const QString& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A text input box; an empty text on Cancel.
    virtual QString askText(const QString& prompt) = 0;
    // File dialogs; an empty text when the user cancels. The save dialog asks before replacing.
    virtual QString openFileName(const QString& title, const QString& pattern, const QString& initial) = 0;
    virtual QString saveFileName(const QString& title, const QString& pattern, const QString& initial) = 0;
    // An open dialog that takes several files; none on Cancel. By default the one-file dialog.
    virtual QStringList openFileNames(const QString& title, const QString& pattern, const QString& initial)
    {
        const QString name = openFileName(title, pattern, initial);
        return name.isEmpty() ? QStringList() : QStringList{name};
    }
};

} // namespace quarvel
