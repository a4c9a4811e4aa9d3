#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace quarvel {

// One setting or report value of the instrument: its command code and how the user knows it.
struct FieldDefinition {
    QString code;    // "DRA", "sDVA" (text value), "DCY 3" (list entry)
    int page;        // 0 "Profile A", 1 "Profile B", 2 "Servo cycle", 3 "Misc."
    QString label;
    QString toolTip; // empty: none
};

inline constexpr int kParameterCount = 28;
inline constexpr int kReportCount = 3;
inline constexpr int kParameterPageCount = 4;
// The field whose text is the stored record's sample interval.
inline constexpr int kRecordDwellTimeField = 27;

// txtParam 0..27 and txtR 0..2, in index order.
const QVector<FieldDefinition>& parameterFields();
const QVector<FieldDefinition>& reportFields();
// Every setting's code once, in field order: what a settings backup holds.
QStringList settingCodes();

} // namespace quarvel
