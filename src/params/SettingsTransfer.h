#pragma once

#include "link/SerialLink.h"
#include "params/SettingsBackup.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// Taking a backup from the instrument and bringing one back, for quarvel-cli's backup and restore
// and the window's settings files alike.

// Why a read gives no value that a backup may keep.
enum class ValueProblem {
    None,
    Unanswered,   // no echo of the read: silence, or the port closed
    Refused,      // a "?": for a text it cannot be told from a "?" in the text itself
    Empty,        // a number without a value
};
ValueProblem valueProblem(const QString& code, const SerialLink::Read& read);
// "the instrument did not answer the read of DRA", for a message that names the device first.
QString valueProblemText(const QString& code, ValueProblem problem);

// Every code read in turn, stopping at the first read that gives no value to keep.
struct SettingsRead {
    QList<QPair<QString, QString>> values; // code, value; in the order asked
    QString failedCode;
    ValueProblem problem = ValueProblem::None;
    bool complete() const { return problem == ValueProblem::None; }
};
SettingsRead readSettings(SerialLink& link, const QStringList& codes);

// A setting whose value the instrument holds differs from the file's.
struct SettingChange {
    QString code;
    QString current; // what the instrument holds now
    QString file;
    bool currentUnreadable = false; // its answer held a "?"
};
// What a restore of the backup would change, read from the instrument without writing anything;
// stops (unanswered set to the code) when a read is not answered.
struct RestorePreview {
    QList<SettingChange> changes;
    QString unanswered;
};
RestorePreview previewRestore(SerialLink& link, const SettingsBackup& backup);

// A setting that does not hold the file's value after the restore.
struct RestoreDifference {
    QString code;
    QString written;
    QString held;
    bool unreadable = false; // the read-back held a "?"
};
// "DHA was restored as "abc" but the instrument holds "5"".
QString differenceText(const RestoreDifference& difference);

struct RestoreResult {
    QList<RestoreDifference> differences;
    QStringList answered; // codes whose write the instrument answered (taken or refused)
    // When the instrument stopped answering (or the port closed): the setting, its value, and
    // whether the write or the read-back went unanswered. The settings after it are not written.
    QString stoppedAt;
    QString stoppedValue;
    bool stoppedOnRead = false;
    bool complete() const { return stoppedAt.isEmpty(); }
};
// Writes each setting of the backup in file order and reads it back. A refusal is no message:
// it shows as a difference. Nothing is saved to the EEPROM.
RestoreResult restoreSettings(SerialLink& link, const SettingsBackup& backup);

} // namespace quarvel
