#pragma once

#include "recorder/ChartScene.h"

#include <QString>

namespace quarvel {

// A saved record file as a curve to compare with: named by its comment and date, or else by the
// file name. A file that is not a record gives the reader's own message and no curve.
struct RecordCurveLoad {
    ChartCurve curve;
    bool loaded = false;
    QString error;   // nothing usable: why
    QString warning; // loaded, but the file ends early
};

RecordCurveLoad loadRecordCurve(const QString& path);
// The legend name of a record: "comment, date", "comment", or the file name.
QString recordCurveName(const QString& comment, const QString& date, const QString& path);

} // namespace quarvel
