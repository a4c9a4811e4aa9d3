#pragma once

#include "cli/CliPrompter.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "link/PortSearch.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"
#include "params/SettingsTransfer.h"

#include <QString>

namespace quarvel::cli {

struct Arguments;

// The ports probed, named for a message.
QString describePorts(const QList<PortProbe>& probes);

// One instrument on one port for one command: the port, the command channel and the output.
class Session {
public:
    // Reads the global options; a bad one leaves its message in error(). port: a port to use
    // instead of the one --port or --device names (another transport, such as an instrument in
    // this process); its speed still comes from --baud.
    explicit Session(const Arguments& arguments, SerialPort* port = nullptr);

    QString error() const { return m_error; }
    Console& console() { return m_console; }
    SerialPort& port() { return *m_port; }
    SerialLink& link() { return m_link; }
    CliPrompter& prompter() { return m_prompter; }
    // The device in use, for messages.
    QString device() const;
    QString configFolder() const { return m_configFolder; }
    // --wait ran out without the port (or, with --port auto, a Quarvel) appearing.
    bool waitedInVain() const { return m_waitedInVain; }

    enum class NotFound { Report, Quiet };
    // Opens the port (with --port auto, the one where exactly one Quarvel answers a search) and
    // finds the instrument with the window's identify exchange. With --wait, first waits for the
    // port to appear (with --port auto, asks each port that appears) for that long: kNotFound
    // when the time runs out, the interrupt's status on Ctrl+C, with nothing more sent.
    // kDone with the identification text, or the status after reporting why not (kNotFound
    // unreported when asked, for a caller that looks further).
    int connect(QString* identification = nullptr, NotFound notFound = NotFound::Report);
    // --port auto found no single instrument: nothing more may be sent anywhere.
    bool noPortChosen() const { return m_noPortChosen; }
    // connect() found the boot loader that this program left running on the device, at the
    // loader's speed, before any application line was sent.
    bool notedLoaderAnswered() const { return m_notedLoaderAnswered; }
    // After an exchange: kDone while the port is open, else reports the loss.
    int portStatus();
    // Reads one value the instrument must answer: kDone, or the status after reporting a lost
    // port, an unanswered or refused read, or a number left empty (a text may be empty). A "?" in
    // the answer is a refusal, even where it could be part of a text: the two cannot be told apart.
    int readValue(const QString& code, SerialLink::Read& read);
    // Reports a read the instrument did not answer.
    int readUnanswered(const QString& code);
    // Reports why a read gave no value: kRefused for a "?", else kPortFailure.
    int valueFailure(const QString& code, ValueProblem problem);
    // Reports the error (one line, naming the device) and returns the status.
    int fail(int status, const QString& text);

private:
    // --port auto: chooses the port, or reports what the search found and returns the status.
    // While --wait lasts, the ports that appear are asked in turn until a Quarvel answers.
    int choosePort();
    // --wait with a port given: opens it once it is there.
    int waitForPort();
    int interruptedWhileWaiting();
    // Where this program left a boot loader running, asks it first at its own speed: a loader
    // hears no application line, which a UART would read as other bytes and the loader as commands.
    bool notedLoaderAnswers();

    QString m_configFolder;
    bool m_autoPort = false;
    bool m_noPortChosen = false;
    bool m_loaderAsked = false;
    bool m_notedLoaderAnswered = false;
    double m_waitSeconds = 0;
    bool m_waitedInVain = false;
    Console m_console;
    QtSerialPortAdapter m_ownPort;
    SerialPort* m_port;
    CliPrompter m_prompter;
    SerialLink m_link;
    QString m_error;
};

} // namespace quarvel::cli
