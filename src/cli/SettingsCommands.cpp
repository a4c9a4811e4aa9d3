// identify, get, set, eeprom, backup and restore: the settings on the command channel.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/OutputFile.h"
#include "cli/Session.h"
#include "link/CommandFraming.h"
#include "params/EepromCommands.h"
#include "params/ParameterTable.h"
#include "params/SettingsBackup.h"
#include "params/SettingsTransfer.h"

namespace quarvel::cli {

namespace {

QStringList reportCodes()
{
    QStringList codes;
    for (const FieldDefinition& f : reportFields())
        codes.append(f.code);
    return codes;
}

int badInput(Session& session, const QString& text)
{
    return session.fail(kBadInput, text);
}

int unanswered(Session& session, const QString& what)
{
    return session.fail(kPortFailure, QStringLiteral("%1: the instrument did not answer %2, so it is not confirmed")
                                          .arg(session.device(), what));
}

} // namespace

int runIdentify(Session& session, const Arguments& arguments)
{
    if (!arguments.operands.isEmpty())
        return badInput(session, QStringLiteral("identify takes no operand"));
    QString identification;
    if (const int status = session.connect(&identification); status != kDone)
        return status;
    session.console().result(identification);
    return kDone;
}

int runGet(Session& session, const Arguments& arguments)
{
    const QStringList known = settingCodes() + reportCodes();
    const QStringList codes = arguments.operands.isEmpty() ? known : arguments.operands;
    for (const QString& code : codes) {
        if (!known.contains(code))
            return badInput(session, QStringLiteral("\"%1\" is not a parameter code").arg(code));
    }
    if (const int status = session.connect(); status != kDone)
        return status;
    for (const QString& code : codes) {
        SerialLink::Read read;
        if (const int status = session.readValue(code, read); status != kDone)
            return status;
        session.console().result(code + QLatin1Char('=') + read.value);
    }
    return kDone;
}

int runSet(Session& session, const Arguments& arguments)
{
    if (arguments.operands.isEmpty())
        return badInput(session, QStringLiteral("set needs CODE=VALUE"));
    const QStringList known = settingCodes();
    QList<QPair<QString, QString>> values;
    for (const QString& operand : arguments.operands) {
        const int eq = operand.indexOf(QLatin1Char('='));
        if (eq < 0 || !known.contains(operand.left(eq)))
            return badInput(session, QStringLiteral("\"%1\" is not CODE=VALUE for a setting").arg(operand));
        values.append({operand.left(eq), operand.mid(eq + 1)});
    }
    if (const int status = session.connect(); status != kDone)
        return status;
    int refused = 0;
    for (const auto& [code, value] : values) {
        const Answer answer = session.link().setValue(kInstrumentAddress, code, value);
        if (const int status = session.portStatus(); status != kDone)
            return status;
        if (answer == Answer::Unanswered) // the values after it are not written
            return unanswered(session, code + QLatin1Char('=') + value);
        if (answer == Answer::Refused) {
            ++refused;
            session.console().error(QStringLiteral("%1: the instrument refused %2=%3").arg(session.device(), code, value));
        } else {
            session.console().info(QStringLiteral("%1=%2").arg(code, value));
        }
    }
    session.prompter().takeMessages(); // each refusal is reported above
    return refused ? kRefused : kDone;
}

int runEeprom(Session& session, const Arguments& arguments)
{
    const QString action = arguments.operands.value(0);
    if (arguments.operands.size() != 1 ||
        !QStringList{QStringLiteral("save"), QStringLiteral("load"), QStringLiteral("factory")}.contains(action))
        return badInput(session, QStringLiteral("eeprom needs one of save, load or factory"));
    if (const int status = session.connect(); status != kDone)
        return status;
    if (action != QLatin1String("save")) {
        const bool load = action == QLatin1String("load");
        const Answer answer = load ? loadSettingsFromEeprom(session.link()) : restoreFactorySettings(session.link());
        if (const int status = session.portStatus(); status != kDone)
            return status;
        if (answer == Answer::Unanswered)
            return unanswered(session, QStringLiteral("eeprom ") + action);
        if (answer == Answer::Refused)
            return session.fail(kRefused, session.device() + QStringLiteral(": ") +
                                              (load ? kEepromLoadRefusedMessage : kFactoryDefaultsRefusedMessage));
    } else {
        const EepromSave answer = saveSettingsToEeprom(session.link(), kEepromSaveAnswerLimitMs);
        if (const int status = session.portStatus(); status != kDone)
            return status;
        if (answer == EepromSave::Refused)
            return session.fail(kRefused, session.device() + QStringLiteral(": ") + kEepromSaveRefusedMessage);
        if (answer == EepromSave::Unanswered)
            return session.fail(kPortFailure,
                                session.device() + QStringLiteral(": ") + kEepromSaveUnansweredMessage);
    }
    if (const int status = session.portStatus(); status != kDone)
        return status;
    session.console().info(QStringLiteral("eeprom %1: done").arg(action));
    return kDone;
}

int runBackup(Session& session, const Arguments& arguments)
{
    if (arguments.operands.size() != 1)
        return badInput(session, QStringLiteral("backup needs one FILE"));
    const QString path = arguments.operands.first();
    if (const QString problem = outputFileProblem(path); !problem.isEmpty())
        return badInput(session, problem);
    QString identification;
    if (const int status = session.connect(&identification); status != kDone)
        return status;
    const SettingsRead read = readSettings(session.link(), settingCodes());
    if (!read.complete()) { // no backup rather than one with a value the instrument did not give
        if (const int status = session.portStatus(); status != kDone)
            return status;
        return session.valueFailure(read.failedCode, read.problem);
    }
    if (const QString error = writeBackupFile(path, newBackup(identification, read.values)); !error.isEmpty())
        return badInput(session, QStringLiteral("%1: cannot be written: %2").arg(path, error));
    session.console().info(QStringLiteral("%1 settings saved to %2").arg(read.values.size()).arg(path));
    return kDone;
}

int runRestore(Session& session, const Arguments& arguments)
{
    if (arguments.operands.size() != 1)
        return badInput(session, QStringLiteral("restore needs one FILE"));
    const QString path = arguments.operands.first();
    const BackupRead read = readBackupFile(path);
    if (!read.error.isEmpty())
        return badInput(session, QStringLiteral("%1: %2; nothing was sent").arg(path, read.error));
    if (const int status = session.connect(); status != kDone)
        return status;
    const RestoreResult result = restoreSettings(session.link(), read.backup);
    for (const RestoreDifference& difference : result.differences)
        session.console().error(session.device() + QStringLiteral(": ") + differenceText(difference));
    if (!result.complete()) {
        if (const int status = session.portStatus(); status != kDone)
            return status;
        return result.stoppedOnRead ? session.readUnanswered(result.stoppedAt)
                                    : unanswered(session, result.stoppedAt + QLatin1Char('=') + result.stoppedValue);
    }
    if (!result.differences.isEmpty())
        return session.fail(kRefused, QStringLiteral("%1: %2 of %3 settings differ from %4")
                                          .arg(session.device())
                                          .arg(result.differences.size())
                                          .arg(read.backup.values.size())
                                          .arg(path));
    session.console().info(QStringLiteral("%1 settings restored from %2").arg(read.backup.values.size()).arg(path));
    return kDone;
}

} // namespace quarvel::cli
