#pragma once

#include <QElapsedTimer>
#include <QString>

namespace quarvel::cli {

// quarvel-cli's output: results and progress on standard output (nothing but results with
// --quiet), errors on standard error, one line each.
class Console {
public:
    explicit Console(bool quiet);

    bool quiet() const { return m_quiet; }
    // Standard output is a terminal: progress is drawn as a bar rather than printed in lines.
    bool interactive() const { return m_interactive; }

    // A result (printed even with --quiet: it is what the command was asked for).
    void result(const QString& line);
    // A report of what is being done.
    void info(const QString& line);
    // An error: "quarvel-cli: " and the text on one line.
    void error(const QString& text);

private:
    bool m_quiet;
    bool m_interactive;
};

// Progress of long work: on a terminal a bar with percentage, bytes per second and time left,
// redrawn at most ten times a second; piped, a line at each tenth of the work.
class Progress {
public:
    Progress(Console& console, QString what, qint64 total);
    ~Progress();

    void update(qint64 done);
    // Ends the bar's line (or prints the last line) once.
    void finish();

private:
    Console& m_console;
    QString m_what;
    qint64 m_total;
    qint64 m_done = 0;
    int m_lastTenth = -1;
    qint64 m_lastDrawMs = -1000;
    bool m_finished = false;
    QElapsedTimer m_clock;
};

// Library texts can span lines; an error line may not.
QString oneLine(const QString& text);

} // namespace quarvel::cli
