#pragma once

#include <QString>
#include <QVector>

namespace quarvel {

// One text field bound to an instrument command code, and where the window shows it.
struct FieldDefinition {
    QString code;    // "DRA", "sDVA" (text value), "DCY 3" (list entry)
    int tab;         // 0 "Profile A", 1 "Profile B", 2 "Servo cycle", 3 "Misc."
    QString label;
    QString toolTip; // empty: none
    int left, top, width; // twips; report fields relative to their frame
};

inline constexpr int kParameterCount = 28;
inline constexpr int kReportCount = 3;
inline constexpr int kFieldHeightTwips = 315;
// The field whose text is the stored record's sample interval.
inline constexpr int kRecordDwellTimeField = 27;
inline const QString kInstrumentAddress = QStringLiteral("1");

// txtParam 0..27 and txtR 0..2, in index order.
const QVector<FieldDefinition>& parameterFields();
const QVector<FieldDefinition>& reportFields();

// Tab captions of the whole window, in order; indexes below 4 are the parameter tabs.
const QStringList& tabCaptions();
inline constexpr int kProgramTab = 4;
inline constexpr int kRecordTab = 5;

} // namespace quarvel
