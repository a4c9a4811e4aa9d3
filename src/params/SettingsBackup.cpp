#include "params/SettingsBackup.h"

#include "link/CommandFraming.h"
#include "params/ParameterTable.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QSet>

namespace quarvel {

SettingsBackup newBackup(const QString& identification, const QList<QPair<QString, QString>>& values)
{
    return {identification, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), values};
}

QByteArray formatBackup(const SettingsBackup& backup)
{
    QString text = QStringLiteral("%1; instrument: %2; date: %3\n")
                       .arg(kBackupMark, QString(backup.identification).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')),
                            backup.date);
    for (const auto& [code, value] : backup.values)
        text += code + QLatin1Char('=') + value + QLatin1Char('\n');
    return text.toUtf8();
}

BackupRead parseBackup(const QByteArray& bytes)
{
    const QStringList codes = settingCodes();
    BackupRead read;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    bool header = false;
    QSet<QString> seen;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!header) {
            if (line.trimmed().isEmpty())
                continue;
            if (!line.startsWith(kBackupMark)) {
                read.error = QStringLiteral("not a settings backup (its first line is not \"%1 ...\")").arg(kBackupMark);
                return read;
            }
            header = true;
            const int at = line.indexOf(QStringLiteral("instrument: "));
            const int dateAt = line.indexOf(QStringLiteral("; date: "));
            if (at >= 0)
                read.backup.identification = line.mid(at + 12, dateAt > at ? dateAt - at - 12 : -1);
            if (dateAt >= 0)
                read.backup.date = line.mid(dateAt + 8);
            continue;
        }
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        const QString code = line.left(eq).trimmed();
        if (eq < 0 || !codes.contains(code)) {
            read.error = eq < 0 ? QStringLiteral("line %1 is not CODE=value").arg(i + 1)
                                : QStringLiteral("line %1: \"%2\" is not a setting code").arg(i + 1).arg(code);
            return read;
        }
        if (seen.contains(code)) {
            read.error = QStringLiteral("line %1: %2 is given twice").arg(i + 1).arg(code);
            return read;
        }
        seen.insert(code);
        read.backup.values.append({code, line.mid(eq + 1)});
    }
    if (!header)
        read.error = QStringLiteral("not a settings backup (the file is empty)");
    else if (read.backup.values.isEmpty())
        read.error = QStringLiteral("the backup holds no setting");
    return read;
}

BackupRead readBackupFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot be read: %1").arg(file.errorString())};
    if (file.size() > kMaxBackupBytes)
        return {{}, QStringLiteral("not a settings backup (it is larger than %1 KiB)").arg(kMaxBackupBytes / 1024)};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("cannot be read: %1").arg(file.errorString())};
    return parseBackup(bytes);
}

QString writeBackupFile(const QString& path, const SettingsBackup& backup)
{
    QSaveFile file(path); // an existing file is replaced only by a complete one
    // Unbuffered: a write cut short (a full disk) shows in its count rather than passing commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const QByteArray text = formatBackup(backup);
    if (file.write(text) != text.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return file.commit() ? QString() : file.errorString();
}

QString valueToWrite(const QString& code, const QString& value)
{
    return isTextCode(code) ? value : value.trimmed();
}

bool sameValue(const QString& code, const QString& written, const QString& held)
{
    const QString value = valueToWrite(code, written);
    if (isTextCode(code))
        return value == held;
    bool writtenIsNumber = false;
    bool heldIsNumber = false;
    const double a = value.toDouble(&writtenIsNumber); // the C locale, whatever the system's
    const double b = held.toDouble(&heldIsNumber);
    return writtenIsNumber && heldIsNumber ? a == b : value == held;
}

} // namespace quarvel
