#pragma once

#include "cli/CliPrompter.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"

#include <QString>

namespace quarvel::cli {

struct Arguments;

// One instrument on one port for one command: the port, the command channel and the output.
class Session {
public:
    // Reads the global options; a bad one leaves its message in error().
    explicit Session(const Arguments& arguments);

    QString error() const { return m_error; }
    Console& console() { return m_console; }
    SerialPort& port() { return m_port; }
    SerialLink& link() { return m_link; }
    CliPrompter& prompter() { return m_prompter; }
    // The device in use, for messages.
    QString device() const { return m_port.deviceName(); }

    // Opens the port and finds the instrument with the window's identify exchange.
    // kDone with the identification text, or the status after reporting why not.
    int connect(QString* identification = nullptr);
    // After an exchange: kDone while the port is open, else reports the loss.
    int portStatus();
    // Reads one value; kDone, or the status after reporting a lost port or a number the
    // instrument left empty (a text may be empty).
    int readValue(const QString& code, QString& value);
    // Reports the error (one line, naming the device) and returns the status.
    int fail(int status, const QString& text);

private:
    Console m_console;
    QtSerialPortAdapter m_port;
    CliPrompter m_prompter;
    SerialLink m_link;
    QString m_error;
};

} // namespace quarvel::cli
