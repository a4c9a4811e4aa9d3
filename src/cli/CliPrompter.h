#pragma once

#include "link/Prompter.h"

#include <QStringList>

#include <utility>

namespace quarvel::cli {

// Nobody answers questions on the command line: every question is answered No (a verify stops
// at its first difference) and every message is kept for the command to report.
class CliPrompter : public Prompter {
public:
    void inform(const QString& text) override { m_messages.append(text); }
    bool askYesNo(const QString& text) override
    {
        m_messages.append(text);
        return false;
    }
    QString askText(const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }

    QStringList takeMessages() { return std::exchange(m_messages, {}); }

private:
    QStringList m_messages;
};

} // namespace quarvel::cli
