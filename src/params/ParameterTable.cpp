#include "params/ParameterTable.h"

namespace quarvel {

namespace {

const QString kVolts = QStringLiteral(", in volts");

} // namespace

const QVector<FieldDefinition>& parameterFields()
{
    static const QVector<FieldDefinition> fields = [] {
        QVector<FieldDefinition> f;
        // "Profile A", top to bottom.
        f.append({"sDVA", 0, "Voltage Profile Name", "Enter a 12 character voltage profile name"});
        f.append({"DRA", 0, "Load Resistance, in ohms", "5.0 ohms minimum to 1000 ohms maximum"});
        f.append({"DHA", 0, "High Voltage Level" + kVolts, {}});
        f.append({"DWA", 0, "Warning Voltage Level" + kVolts, {}});
        f.append({"DLA", 0, "Low Voltage Level" + kVolts, {}});
        f.append({"DVD", 0, "Load Dwell Time, in seconds", "Defines the maximum length of time the load will be applied"});
        // "Profile B", bottom to top.
        f.append({"DVD", 1, "Load Dwell Time, in seconds", {}});
        f.append({"DLB", 1, "Low Voltage Level" + kVolts, {}});
        f.append({"DWB", 1, "Warning Voltage Level" + kVolts, {}});
        f.append({"DHB", 1, "High Voltage Level" + kVolts, {}});
        f.append({"DRB", 1, "Load Resistance, in ohms", {}});
        f.append({"sDVB", 1, "Voltage Profile Name", {}});
        // "Servo cycle": "Pos 1" is list entry 0.
        for (int k = 0; k < 10; ++k)
            f.append({QStringLiteral("DCY %1").arg(k), 2, QStringLiteral("Pos %1").arg(k + 1), {}});
        f.append({"DDT", 2, "Servo Cycle Dwell Time, in seconds", {}});
        // "Misc."
        f.append({"sDM1", 3, "QUARVEL Display Line 1 Message", {}});
        f.append({"sDM2", 3, "QUARVEL Display Line 2 Message", {}});
        f.append({"DVC", 3, "Voltage Calibration Constant", {}});
        f.append({"DMD", 3, "Default mode", "Selects the startup mode of the Quarvel."});
        f.append({"DRD", 3, "Record dwell time", {}});
        return f;
    }();
    return fields;
}

const QVector<FieldDefinition>& reportFields()
{
    static const QVector<FieldDefinition> fields = {
        {"RNV", 3, "No Load Voltage", {}},
        {"RLV", 3, "Loaded Voltage", {}},
        {"RIM", 3, "Battery Pack Impeadance", {}},
    };
    return fields;
}

QStringList settingCodes()
{
    QStringList codes;
    for (const FieldDefinition& f : parameterFields()) {
        if (!codes.contains(f.code)) // the load dwell time shows on both profiles
            codes.append(f.code);
    }
    return codes;
}

} // namespace quarvel
