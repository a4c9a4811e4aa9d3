#include "params/ui/SettingsFiles.h"

#include "link/CommandFraming.h"
#include "link/DeviceDiscovery.h"
#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "params/ParameterTable.h"
#include "params/SettingsBackup.h"
#include "params/SettingsTransfer.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/SettingsChangesDialog.h"
#include "ui/BusyPointer.h"

#include <QDir>

namespace quarvel {

namespace {

const QString kNotInEeprom = QStringLiteral(
    "They are not saved to the QUARVEL's EEPROM: \"Save All Parameters to EEPROM\" keeps them.");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Why the instrument gave nothing to work with, for a message.
QString silenceText(SerialLink& link, const QString& code)
{
    if (!link.port().isOpen())
        return SerialLink::kDisconnectedMessage;
    return QStringLiteral("The QUARVEL did not answer the read of %1. Check the connection and try again.").arg(code);
}

} // namespace

void SettingsFiles::saveToFile()
{
    SerialLink& link = m_binding.link();
    Prompter& prompter = link.prompter();
    if (link.bootLoaderActive())
        return; // the tab is disabled then; nothing may reach the boot loader
    const QString path = prompter.saveFileName(kSaveTitle, kPattern, kPattern);
    if (path.isEmpty() || !link.reachable())
        return;
    SettingsRead read;
    QString identification;
    {
        BusyPointer busy;
        BusyScope scope(link);
        m_binding.sendUnsent(); // the file holds what the instrument holds: your values first
        identification = link.getValue(kInstrumentAddress, kIdentifyCode).trimmed();
        read = readSettings(link, settingCodes());
    }
    if (!read.complete()) {
        const QString why = read.problem == ValueProblem::Unanswered ? silenceText(link, read.failedCode)
                                                                     : valueProblemText(read.failedCode, read.problem);
        prompter.inform(QStringLiteral("The settings were not saved to %1: %2\n\nNo file was written.").arg(native(path), why));
        return;
    }
    if (const QString error = writeBackupFile(path, newBackup(identification, read.values)); !error.isEmpty()) {
        prompter.inform(QStringLiteral("Cannot save the settings to %1: %2. An earlier file there was left as it was.")
                            .arg(native(path), error));
        return;
    }
    QString text = QStringLiteral("%1 settings of the QUARVEL saved to %2.").arg(read.values.size()).arg(native(path));
    if (const QStringList unsent = m_binding.unsentValues(); !unsent.isEmpty())
        text += QStringLiteral("\n\nThese values never reached the QUARVEL and are not in the file:\n") +
                unsent.join(QLatin1Char('\n'));
    prompter.inform(text);
}

void SettingsFiles::loadFromFile()
{
    SerialLink& link = m_binding.link();
    Prompter& prompter = link.prompter();
    if (link.bootLoaderActive())
        return;
    const QString path = prompter.openFileName(kLoadTitle, kPattern, kPattern);
    if (path.isEmpty())
        return;
    const BackupRead file = readBackupFile(path);
    if (!file.error.isEmpty()) {
        prompter.inform(QStringLiteral("%1 was not loaded: %2. Nothing was sent to the QUARVEL.").arg(native(path), file.error));
        return;
    }
    if (!link.reachable())
        return;
    RestorePreview preview;
    {
        BusyPointer busy;
        preview = previewRestore(link, file.backup);
    }
    if (!preview.unanswered.isEmpty()) {
        prompter.inform(silenceText(link, preview.unanswered) + QStringLiteral(" Nothing was written."));
        return;
    }
    if (preview.changes.isEmpty()) {
        prompter.inform(QStringLiteral("The QUARVEL already holds every setting of %1.").arg(native(path)));
        return;
    }
    if (!SettingsChangesDialog(native(path), preview.changes, m_dialogParent).ask())
        return;

    m_binding.setDirty(true); // from the first write on, the instrument holds settings its EEPROM does not
    RestoreResult result;
    {
        BusyPointer busy;
        result = restoreSettings(link, file.backup);
    }
    m_binding.forgetUnsent(result.answered);
    QStringList lines;
    for (const RestoreDifference& difference : result.differences)
        lines << differenceText(difference);
    QString text;
    if (!result.complete()) {
        text = QStringLiteral("The QUARVEL did not answer %1 %2=%3, so it and the settings after it in %4 were not "
                              "loaded. Check the connection and load the file again.")
                   .arg(result.stoppedOnRead ? QStringLiteral("the read-back of") : QStringLiteral("the write of"),
                        result.stoppedAt, result.stoppedValue, native(path));
    } else {
        m_binding.reloadParameters(); // the fields show what the instrument now holds
        text = lines.isEmpty() ? QStringLiteral("%1 settings loaded from %2.").arg(file.backup.values.size()).arg(native(path))
                               : QStringLiteral("%1 of %2 settings differ from %3:")
                                     .arg(lines.size())
                                     .arg(file.backup.values.size())
                                     .arg(native(path));
    }
    if (!lines.isEmpty())
        text += (result.complete() ? QStringLiteral("\n") : QStringLiteral("\n\nThese differ from the file:\n")) +
                lines.join(QLatin1Char('\n'));
    prompter.inform(text + QStringLiteral("\n\n") + kNotInEeprom);
}

} // namespace quarvel
