#include "params/SettingsTransfer.h"

#include "link/CommandFraming.h"
#include "link/SerialPort.h"

namespace quarvel {

ValueProblem valueProblem(const QString& code, const SerialLink::Read& read)
{
    if (read.status == ReadStatus::Unanswered)
        return ValueProblem::Unanswered;
    if (read.status == ReadStatus::Refused)
        return ValueProblem::Refused;
    // A text may be empty; a number the instrument answered without one is no value.
    return read.value.isEmpty() && !isTextCode(code) ? ValueProblem::Empty : ValueProblem::None;
}

QString valueProblemText(const QString& code, ValueProblem problem)
{
    switch (problem) {
    case ValueProblem::None:
        break;
    case ValueProblem::Unanswered:
        return QStringLiteral("the instrument did not answer the read of %1").arg(code);
    case ValueProblem::Refused:
        return isTextCode(code)
                   ? QStringLiteral("the answer for %1 holds a \"?\", which cannot be told from a refusal").arg(code)
                   : QStringLiteral("the instrument refused the read of %1").arg(code);
    case ValueProblem::Empty:
        return QStringLiteral("the instrument gave no value for %1").arg(code);
    }
    return {};
}

SettingsRead readSettings(SerialLink& link, const QStringList& codes)
{
    BusyScope scope(link);
    SettingsRead result;
    for (const QString& code : codes) {
        const SerialLink::Read read = link.read(kInstrumentAddress, code);
        // A port that closed meanwhile gave no answer, whatever its buffer held.
        const ValueProblem problem = link.port().isOpen() ? valueProblem(code, read) : ValueProblem::Unanswered;
        if (problem != ValueProblem::None) {
            result.failedCode = code;
            result.problem = problem;
            return result; // nothing kept that the instrument did not give
        }
        result.values.append({code, read.value});
    }
    return result;
}

RestorePreview previewRestore(SerialLink& link, const SettingsBackup& backup)
{
    BusyScope scope(link);
    RestorePreview preview;
    for (const auto& [code, value] : backup.values) {
        const SerialLink::Read read = link.read(kInstrumentAddress, code);
        if (read.status == ReadStatus::Unanswered || !link.port().isOpen()) {
            preview.unanswered = code;
            return preview;
        }
        const bool unreadable = read.status == ReadStatus::Refused;
        if (unreadable || !sameValue(code, value, read.value))
            preview.changes.append({code, read.value, valueToWrite(code, value), unreadable});
    }
    return preview;
}

QString differenceText(const RestoreDifference& difference)
{
    if (difference.unreadable)
        return QStringLiteral("%1 was restored as \"%2\" but cannot be read back").arg(difference.code, difference.written);
    return QStringLiteral("%1 was restored as \"%2\" but the instrument holds \"%3\"")
        .arg(difference.code, difference.written, difference.held);
}

RestoreResult restoreSettings(SerialLink& link, const SettingsBackup& backup)
{
    BusyScope scope(link);
    RestoreResult result;
    const auto stop = [&result](const QString& code, const QString& value, bool onRead) {
        result.stoppedAt = code;
        result.stoppedValue = value;
        result.stoppedOnRead = onRead;
        return result;
    };
    for (const auto& [code, value] : backup.values) {
        const QString written = valueToWrite(code, value);
        // Judged as a write is, without the message a refused write raises: the read-back below
        // reports it, with what the instrument holds instead.
        const QString line = writeLine(QString(), code, written);
        if (link.command(kInstrumentAddress, line) == Answer::Unanswered || !link.port().isOpen())
            return stop(code, written, false);
        result.answered.append(code);
        const SerialLink::Read held = link.read(kInstrumentAddress, code);
        if (held.status == ReadStatus::Unanswered || !link.port().isOpen())
            return stop(code, written, true);
        if (held.status == ReadStatus::Refused || !sameValue(code, value, held.value))
            result.differences.append({code, written, held.value, held.status == ReadStatus::Refused});
    }
    return result;
}

} // namespace quarvel
