// identify, get, set, eeprom, backup and restore: the settings on the command channel.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/OutputFile.h"
#include "cli/Session.h"
#include "cli/SettingsBackup.h"
#include "link/CommandFraming.h"
#include "params/EepromCommands.h"
#include "params/ParameterTable.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

namespace quarvel::cli {

namespace {

// Every setting's code once, in the window's field order.
QStringList settingCodes()
{
    QStringList codes;
    for (const FieldDefinition& f : parameterFields()) {
        if (!codes.contains(f.code))
            codes.append(f.code);
    }
    return codes;
}

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
    SettingsBackup backup;
    if (const int status = session.connect(&backup.identification); status != kDone)
        return status;
    backup.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    for (const QString& code : settingCodes()) {
        SerialLink::Read read;
        if (const int status = session.readValue(code, read); status != kDone)
            return status; // no backup rather than one with a value the instrument did not give
        backup.values.append({code, read.value});
    }
    QSaveFile file(path); // an existing backup is replaced only by a complete one
    const QByteArray text = formatBackup(backup);
    // Unbuffered: a write cut short (a full disk) shows in its count rather than passing commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(text) != text.size() || !file.commit())
        return badInput(session, QStringLiteral("%1: cannot be written: %2").arg(path, file.errorString()));
    session.console().info(QStringLiteral("%1 settings saved to %2").arg(backup.values.size()).arg(path));
    return kDone;
}

int runRestore(Session& session, const Arguments& arguments)
{
    if (arguments.operands.size() != 1)
        return badInput(session, QStringLiteral("restore needs one FILE"));
    const QString path = arguments.operands.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return badInput(session, QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString()));
    const BackupRead read = parseBackup(file.read(1024 * 1024), settingCodes());
    if (!read.error.isEmpty())
        return badInput(session, QStringLiteral("%1: %2; nothing was sent").arg(path, read.error));
    if (const int status = session.connect(); status != kDone)
        return status;
    int differences = 0;
    for (const auto& [code, value] : read.backup.values) {
        const QString written = valueToWrite(code, value);
        if (session.link().setValue(kInstrumentAddress, code, written) == Answer::Unanswered) {
            if (const int status = session.portStatus(); status != kDone)
                return status;
            return unanswered(session, code + QLatin1Char('=') + written);
        }
        const SerialLink::Read held = session.link().read(kInstrumentAddress, code);
        if (const int status = session.portStatus(); status != kDone)
            return status;
        if (held.status == ReadStatus::Unanswered)
            return session.readUnanswered(code);
        if (held.status == ReadStatus::Refused || !sameValue(code, value, held.value)) {
            ++differences;
            const bool unreadable = held.status == ReadStatus::Refused;
            const QString text = unreadable
                                     ? QStringLiteral("%1: %2 was restored as \"%3\" but cannot be read back")
                                     : QStringLiteral("%1: %2 was restored as \"%3\" but the instrument holds \"%4\"");
            session.console().error(unreadable ? text.arg(session.device(), code, written)
                                               : text.arg(session.device(), code, written, held.value));
        }
    }
    session.prompter().takeMessages(); // refusals show as differences above
    if (differences)
        return session.fail(kRefused, QStringLiteral("%1: %2 of %3 settings differ from %4")
                                          .arg(session.device())
                                          .arg(differences)
                                          .arg(read.backup.values.size())
                                          .arg(path));
    session.console().info(QStringLiteral("%1 settings restored from %2").arg(read.backup.values.size()).arg(path));
    return kDone;
}

} // namespace quarvel::cli
