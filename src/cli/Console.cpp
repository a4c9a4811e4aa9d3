#include "cli/Console.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace quarvel::cli {

namespace {
void put(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString duration(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

QString oneLine(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

Console::Console(bool quiet) : m_quiet(quiet), m_interactive(isatty(STDOUT_FILENO) != 0)
{
}

void Console::result(const QString& line)
{
    put(stdout, line + QLatin1Char('\n'));
}

void Console::info(const QString& line)
{
    if (!m_quiet)
        put(stdout, line + QLatin1Char('\n'));
}

void Console::error(const QString& text)
{
    put(stderr, QStringLiteral("quarvel-cli: ") + oneLine(text) + QLatin1Char('\n'));
}

Progress::Progress(Console& console, QString what, qint64 total)
    : m_console(console), m_what(std::move(what)), m_total(std::max<qint64>(total, 1))
{
    m_clock.start();
}

Progress::~Progress()
{
    finish();
}

void Progress::update(qint64 done)
{
    m_done = std::clamp<qint64>(done, 0, m_total);
    if (m_console.quiet())
        return;
    const int percent = static_cast<int>(m_done * 100 / m_total);
    if (!m_console.interactive()) {
        const int tenth = percent / 10;
        if (tenth != m_lastTenth) {
            m_lastTenth = tenth;
            put(stdout, QStringLiteral("%1: %2%\n").arg(m_what).arg(tenth * 10));
        }
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (now - m_lastDrawMs < 100 && m_done < m_total)
        return;
    m_lastDrawMs = now;
    constexpr int width = 30;
    const int filled = static_cast<int>(m_done * width / m_total);
    const double rate = now > 0 ? m_done * 1000.0 / now : 0;
    const QString left = rate > 0 ? duration(static_cast<qint64>((m_total - m_done) / rate)) : QStringLiteral("-:--");
    put(stdout, QStringLiteral("\r%1 [%2%3] %4% %5 B/s %6 left ")
                    .arg(m_what, QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
                    .arg(percent, 3)
                    .arg(qRound(rate), 5)
                    .arg(left));
}

void Progress::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_console.quiet())
        return;
    if (m_console.interactive()) {
        m_lastDrawMs = -1000;
        update(m_done);
        put(stdout, QStringLiteral("\n"));
    }
}

} // namespace quarvel::cli
