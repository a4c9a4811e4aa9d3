#pragma once

#include <QList>
#include <QString>

namespace quarvel::cli {

// What an option's value must be; checked when the line is read, before anything is sent.
enum class ValueKind {
    Text,
    Seconds, // a finite number, 0 or more
};

struct OptionSpec {
    QString name;  // "--port", "-o"
    QString value; // what the usage calls its value ("N", "FILE.hex"); empty for a switch
    QString help;  // may span lines
    bool required = false;
    ValueKind kind = ValueKind::Text;
};

struct Arguments;
class Session;

struct CommandSpec {
    QString name;
    int (*run)(Session&, const Arguments&); // checks the operands, does the work, returns the exit status
    QString operands; // as the usage shows them: "FILE.hex", "[CODE...]"
    QList<OptionSpec> options;
    QString help;
};

struct StatusSpec {
    int status;
    QString meaning;
};

// quarvel-cli's commands and options: what the line may hold, what --help says, and what the
// manual page and the bash completion must describe (a test holds them to it).
const QList<CommandSpec>& commandTable();
// Options of every command, standing anywhere on the line.
const QList<OptionSpec>& globalOptions();
// Every exit status and what it means.
const QList<StatusSpec>& exitStatusTable();

const CommandSpec* findCommand(const QString& name);
// "flash [--backup COPY.hex] [--no-erase] ... FILE.hex"
QString synopsis(const CommandSpec& command);

} // namespace quarvel::cli
