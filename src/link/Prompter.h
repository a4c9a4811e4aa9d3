#pragma once

#include <QString>

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
};

} // namespace quarvel
