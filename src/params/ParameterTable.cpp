#include "ParameterTable.h"

#include <QStringList>

namespace quarvel {

namespace {

const QString kVolts = QStringLiteral(", in volts");

} // namespace

const QVector<FieldDefinition>& parameterFields()
{
    static const QVector<FieldDefinition> fields = [] {
        QVector<FieldDefinition> f;
        // "Profile A", top to bottom.
        f.append({"sDVA", 0, "Voltage Profile Name", "Enter a 12 character voltage profile name", 3600, 1800, 1575});
        f.append({"DRA", 0, "Load Resistance, in ohms", "5.0 ohms minimum to 1000 ohms maximum", 3600, 2160, 1575});
        f.append({"DHA", 0, "High Voltage Level" + kVolts, {}, 3600, 2520, 1575});
        f.append({"DWA", 0, "Warning Voltage Level" + kVolts, {}, 3600, 2880, 1575});
        f.append({"DLA", 0, "Low Voltage Level" + kVolts, {}, 3600, 3240, 1575});
        f.append({"DVD", 0, "Load Dwell Time, in seconds",
                  "Defines the maximum length of time the load will be applied", 3600, 3600, 1575});
        // "Profile B", bottom to top.
        f.append({"DVD", 1, "Load Dwell Time, in seconds", {}, 3720, 3660, 1575});
        f.append({"DLB", 1, "Low Voltage Level" + kVolts, {}, 3720, 3300, 1575});
        f.append({"DWB", 1, "Warning Voltage Level" + kVolts, {}, 3720, 2940, 1575});
        f.append({"DHB", 1, "High Voltage Level" + kVolts, {}, 3720, 2580, 1575});
        f.append({"DRB", 1, "Load Resistance, in ohms", {}, 3720, 2220, 1575});
        f.append({"sDVB", 1, "Voltage Profile Name", {}, 3720, 1860, 1575});
        // "Servo cycle": "Pos 1" is list entry 0.
        for (int k = 0; k < 10; ++k)
            f.append({QStringLiteral("DCY %1").arg(k), 2, QStringLiteral("Pos %1").arg(k + 1), {}, 4860, 1320 + 360 * k, 1395});
        f.append({"DDT", 2, "Servo Cycle Dwell Time, in seconds", {}, 4440, 600, 1395});
        // "Misc."
        f.append({"sDM1", 3, "QUARVEL Display Line 1 Message", {}, 3000, 540, 1515});
        f.append({"sDM2", 3, "QUARVEL Display Line 2 Message", {}, 3000, 900, 1515});
        f.append({"DVC", 3, "Voltage Calibration Constant", {}, 3000, 1260, 1515});
        f.append({"DMD", 3, "Default mode", "Selects the startup mode of the Quarvel.", 6540, 540, 1035});
        f.append({"DRD", 3, "Record dwell time", {}, 6540, 900, 1035});
        return f;
    }();
    return fields;
}

const QVector<FieldDefinition>& reportFields()
{
    static const QVector<FieldDefinition> fields = {
        {"RNV", 3, "No Load Voltage", {}, 2460, 300, 1215},
        {"RLV", 3, "Loaded Voltage", {}, 2460, 660, 1215},
        {"RIM", 3, "Battery Pack Impeadance", {}, 2460, 1020, 1215},
    };
    return fields;
}

const QStringList& tabCaptions()
{
    static const QStringList captions = {"Profile A", "Profile B", "Servo cycle", "Misc.", "Program", "Record"};
    return captions;
}

} // namespace quarvel
