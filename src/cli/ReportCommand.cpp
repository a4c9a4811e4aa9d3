// report: the battery report ("Update Values"), printed and kept in the battery history.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "params/ParameterTable.h"
#include "params/ProfilePresets.h"
#include "recorder/BatteryHistory.h"

namespace quarvel::cli {

int runReport(Session& session, const Arguments& arguments)
{
    if (!arguments.operands.isEmpty())
        return session.fail(kBadInput, QStringLiteral("report takes no operand"));
    const QString profile = arguments.options.value(QStringLiteral("--profile"), QStringLiteral("A")).toUpper();
    if (profile != QLatin1String("A") && profile != QLatin1String("B"))
        return session.fail(kBadInput, QStringLiteral("--profile is A or B"));
    QString identification;
    if (const int status = session.connect(&identification); status != kDone)
        return status;
    QStringList values;
    for (const FieldDefinition& field : reportFields()) {
        SerialLink::Read read;
        if (const int status = session.readValue(field.code, read); status != kDone)
            return status;
        session.console().result(field.code + QLatin1Char('=') + read.value);
        values.append(read.value);
    }
    if (arguments.options.contains(QStringLiteral("--no-history")))
        return kDone;
    const int nameField = (profile == QLatin1String("A") ? kProfileAFields : kProfileBFields)[0];
    SerialLink::Read profileName;
    if (const int status = session.readValue(parameterFields()[nameField].code, profileName); status != kDone)
        return status;
    const BatteryReport report{QDateTime::currentDateTime(), identification,
                               arguments.options.value(QStringLiteral("--pack")), profileName.value.trimmed(),
                               values[0], values[1], values[2]};
    const QString path = BatteryHistory::defaultPath();
    if (const QString error = BatteryHistory::append(path, report); !error.isEmpty())
        return session.fail(kOutputNotWritten,
                            QStringLiteral("the report was read and printed but not kept in the battery history: ") +
                                error);
    session.console().info(QStringLiteral("Kept in the battery history %1").arg(path));
    return kDone;
}

} // namespace quarvel::cli
