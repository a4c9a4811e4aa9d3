#pragma once

#include "link/Prompter.h"

#include <QQueue>
#include <QStringList>

namespace quarvel::test {

// Answers questions from a script and records everything the program told the user.
class ScriptedPrompter : public Prompter {
public:
    void inform(const QString& text) override { messages.append(text); }
    bool askYesNo(const QString& text) override
    {
        questions.append(text);
        return yesNoAnswers.isEmpty() ? defaultYesNo : yesNoAnswers.dequeue();
    }
    QString askText(const QString& prompt) override
    {
        textPrompts.append(prompt);
        return textAnswers.isEmpty() ? QString() : textAnswers.dequeue();
    }
    QString openFileName(const QString& title, const QString& pattern, const QString& initial) override
    {
        fileDialogs.append(QStringList{title, pattern, initial});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }
    QString saveFileName(const QString& title, const QString& pattern, const QString& initial) override
    {
        return openFileName(title, pattern, initial);
    }

    QStringList messages;
    QStringList questions;
    QStringList textPrompts;
    QList<QStringList> fileDialogs; // title, pattern, initial name
    QQueue<bool> yesNoAnswers;
    bool defaultYesNo = true;
    QQueue<QString> textAnswers;
    QQueue<QString> fileAnswers;
};

} // namespace quarvel::test
