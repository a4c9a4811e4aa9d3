#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace quarvel::cli {

// A settings backup: a text file a person can read and edit. The first line is the header
//   # Quarvel settings backup; instrument: <identification>; date: <yyyy-MM-dd hh:mm:ss>
// then one "CODE=value" line per setting (the value runs to the line end, blanks included).
// Empty lines and lines starting with "#" are ignored.
struct SettingsBackup {
    QString identification;
    QString date;
    QList<QPair<QString, QString>> values; // code, value; in file order
};

inline const QString kBackupMark = QStringLiteral("# Quarvel settings backup");

QByteArray formatBackup(const SettingsBackup& backup);

// The backup in the bytes, or why they are not one: no header, a line that is not CODE=value,
// a code that is not a setting (settingCodes), a code twice, or no setting at all.
struct BackupRead {
    SettingsBackup backup;
    QString error;
};
BackupRead parseBackup(const QByteArray& bytes, const QStringList& settingCodes);

} // namespace quarvel::cli
