#include "recorder/BatteryHistory.h"

#include "recorder/RecordArithmetic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace quarvel {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QByteArray kLineEnd = "\r\n";
constexpr int kColumns = 7;
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
constexpr int kLockWaitMs = 10000;

// Text fields always go between double quotes, a double quote inside doubled.
QString quoted(const QString& text)
{
    QString clean = text;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    clean.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + clean + QLatin1Char('"');
}

// One line split at commas outside double quotes; a quoted field loses its quotes.
QStringList fieldsOf(const QString& line)
{
    QStringList fields;
    QString field;
    bool inQuotes = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

QByteArray rowOf(const BatteryReport& r)
{
    const QStringList fields{r.time.toString(kTimeFormat),
                             quoted(r.instrument),
                             quoted(r.pack),
                             quoted(r.profile),
                             BatteryHistory::valueText(r.noLoad),
                             BatteryHistory::valueText(r.loaded),
                             BatteryHistory::valueText(r.impedance)};
    return fields.join(QLatin1Char(',')).toUtf8() + kLineEnd;
}

QString where(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The file's bytes, or a message; a missing file holds none.
QString readBytes(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read the battery history %1: %2").arg(where(path), file.errorString());
    bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Cannot read the battery history %1: %2").arg(where(path), file.errorString());
    if (bytes.size() > kMaxFileBytes)
        return QStringLiteral("The battery history %1 is too large to read.").arg(where(path));
    return {};
}

QString headerProblem(const QByteArray& bytes, const QString& path)
{
    if (bytes.isEmpty())
        return {};
    const qsizetype end = bytes.indexOf('\n');
    const QString first = QString::fromUtf8(bytes.left(end < 0 ? bytes.size() : end)).trimmed();
    if (first == BatteryHistory::kHeader)
        return {};
    return QStringLiteral("%1 is not a battery history file (its first line is not the history's header); it was "
                          "left as it is.")
        .arg(where(path));
}

} // namespace

const QString BatteryHistory::kHeader =
    QStringLiteral("Date,Instrument,Pack,Profile,No load voltage,Loaded voltage,Impedance");
const QString BatteryHistory::kFileName = QStringLiteral("battery-history.csv");

QString BatteryHistory::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quarvel/") +
           kFileName;
}

QString BatteryHistory::valueText(const QString& instrumentText)
{
    const auto number = numberOf(instrumentText);
    return number ? shortestText(*number) : QString();
}

BatteryHistory::Contents BatteryHistory::read(const QString& path)
{
    QByteArray bytes;
    if (const QString error = readBytes(path, bytes); !error.isEmpty())
        return {{}, error};
    return parse(bytes, path);
}

BatteryHistory::Contents BatteryHistory::parse(const QByteArray& bytes, const QString& path)
{
    Contents contents;
    contents.error = headerProblem(bytes, path);
    if (!contents.error.isEmpty())
        return contents;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = fieldsOf(line);
        if (f.size() != kColumns)
            continue; // a line damaged by hand is skipped, the others still count
        BatteryReport r{QDateTime::fromString(f[0], kTimeFormat), f[1], f[2], f[3], f[4], f[5], f[6]};
        contents.rows.append(r);
    }
    return contents;
}

QString BatteryHistory::append(const QString& path, const BatteryReport& report)
{
    if (valueText(report.noLoad).isEmpty() && valueText(report.loaded).isEmpty() &&
        valueText(report.impedance).isEmpty())
        return QStringLiteral("The report holds no value; nothing was added to the battery history.");
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("Cannot create the folder of the battery history %1.").arg(where(path));
    // Another writer (a second window, quarvel-cli report) must not read the file between this
    // read and this rename, or one of the two rows is lost. A lock of a process that died is stale.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(kLockWaitMs))
        return QStringLiteral("The battery history %1 is being written by another program, or its lock file "
                              "cannot be made; nothing was added to it. Try again.")
            .arg(where(path));
    QByteArray bytes;
    if (QString problem = readBytes(path, bytes); !problem.isEmpty())
        return problem + QStringLiteral(" Nothing was added to it.");
    if (QString problem = headerProblem(bytes, path); !problem.isEmpty())
        return problem;
    if (bytes.isEmpty())
        bytes = kHeader.toUtf8() + kLineEnd;
    else if (!bytes.endsWith('\n'))
        bytes += kLineEnd; // a last line cut short by hand stays a line of its own
    bytes += rowOf(report);
    QSaveFile file(path);
    // Unbuffered: a write cut short (a full disk) shows in write()'s count, where a buffered
    // flush at commit() would not notice it and put a shortened copy in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("Cannot write the battery history %1: %2").arg(where(path), file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return QStringLiteral("Cannot write the battery history %1: %2. It was left as it was.").arg(where(path), error);
    }
    if (!file.commit())
        return QStringLiteral("Cannot write the battery history %1: %2. It was left as it was.")
            .arg(where(path), file.errorString());
    return {};
}

} // namespace quarvel
