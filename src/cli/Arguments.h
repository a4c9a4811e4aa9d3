#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace quarvel::cli {

// The command line: global options (anywhere), the command, its options and its operands.
struct Arguments {
    QString command;
    QMap<QString, QString> options; // "--port" -> "2"; a switch maps to an empty text
    QStringList operands;
    bool help = false;
    bool version = false;
    QString error; // why the line cannot be used
};

// Splits the line; an option that the command (or every command) does not know is an error.
Arguments parseArguments(const QStringList& arguments);

// The usage text: of one command, or of the program when command is empty or unknown.
QString usage(const QString& command);

} // namespace quarvel::cli
