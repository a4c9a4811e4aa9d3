#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace quarvel {

// A settings backup, written by quarvel-cli's backup and the window's "Save Settings to File...":
// a text file a person can read and edit. The first line is the header
//   # Quarvel settings backup; instrument: <identification>; date: <yyyy-MM-dd hh:mm:ss>
// then one "CODE=value" line per setting (the value runs to the line end, blanks included).
// Empty lines and lines starting with "#" are ignored.
struct SettingsBackup {
    QString identification;
    QString date;
    QList<QPair<QString, QString>> values; // code, value; in file order
};

inline const QString kBackupMark = QStringLiteral("# Quarvel settings backup");
// Far above any backup (27 short lines); a larger file is no backup and is not read whole.
inline constexpr qint64 kMaxBackupBytes = 1024 * 1024;

// A backup of the values, dated now.
SettingsBackup newBackup(const QString& identification, const QList<QPair<QString, QString>>& values);
QByteArray formatBackup(const SettingsBackup& backup);

// The backup in the bytes, or why they are not one: no header, a line that is not CODE=value,
// a code that is not a setting (settingCodes()), a code twice, or no setting at all.
struct BackupRead {
    SettingsBackup backup;
    QString error;
};
BackupRead parseBackup(const QByteArray& bytes);
// The backup in the file; the error also says when it cannot be read or is too large.
BackupRead readBackupFile(const QString& path);
// Writes the file whole or leaves an earlier one as it was: empty, or the system's reason.
QString writeBackupFile(const QString& path, const SettingsBackup& backup);

// What a restore writes for a setting: a number without the blanks a hand-edited line may hold
// around it, a text exactly (its blanks are part of it).
QString valueToWrite(const QString& code, const QString& value);
// Whether the instrument holds what was written: numbers by value ("5.50" is 5.5), texts exactly.
bool sameValue(const QString& code, const QString& written, const QString& held);

} // namespace quarvel
