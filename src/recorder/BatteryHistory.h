#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace quarvel {

// One battery report kept: when, from which instrument, for which pack and profile, and the
// three values (C locale number texts; empty where the instrument gave no number).
struct BatteryReport {
    QDateTime time;
    QString instrument;
    QString pack;
    QString profile;
    QString noLoad;
    QString loaded;
    QString impedance;
};

// The history of battery reports: a CSV file with one header line and one row per report.
// A row is added by writing a copy of the whole file with the row appended and replacing the
// file only once the copy is complete, so a failed write leaves every earlier row in place, and
// nothing ever shortens the file. A lock file beside it lets one writer at a time read, add and
// replace, so two writers at once both keep their row.
class BatteryHistory {
public:
    static const QString kHeader;
    static const QString kFileName;

    // $XDG_DATA_HOME/Quarvel/battery-history.csv (by default ~/.local/share/Quarvel).
    static QString defaultPath();

    struct Contents {
        QList<BatteryReport> rows;
        QString error; // the file could not be read, or is not a history file
    };
    // A missing file is an empty history.
    static Contents read(const QString& path);
    // The history in a file's bytes; path names it in messages.
    static Contents parse(const QByteArray& bytes, const QString& path);
    // Adds the row; returns a message, empty on success. A report without any number is refused.
    static QString append(const QString& path, const BatteryReport& report);
    // The report values as a row keeps them: the number in C locale, or empty.
    static QString valueText(const QString& instrumentText);
};

} // namespace quarvel
