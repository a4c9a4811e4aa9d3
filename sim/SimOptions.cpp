#include "SimOptions.h"

#include "PtyServer.h"
#include "VirtualInstrument.h"

namespace quarvel::sim {

QString optionsHelp()
{
    return QStringLiteral(
        "usage: quarvel-sim [options]\n"
        "  --link PATH        make PATH a link to the device (e.g. ~/.config/Quarvel/com1)\n"
        "  --silent           never answer\n"
        "  --slow             answer only after the program's wait has ended\n"
        "  --garbage          send stray characters in front of every echo\n"
        "  --reject           answer every command with \"?\"\n"
        "  --vanish-after N   leave the line after N command lines\n"
        "  --no-save-answer   store the settings on \"ESV\" but never answer\n"
        "  --eeprom FILE      keep the EEPROM copy in FILE across restarts\n");
}

QString applyOptions(const QStringList& arguments, VirtualInstrument& instrument, PtyServer& server)
{
    auto& faults = instrument.application().faults();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const auto next = [&](QString& value) {
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };
        QString value;
        if (arg == QLatin1String("--link")) {
            if (!next(value))
                return QStringLiteral("--link needs a path");
            server.setLinkPath(value);
        } else if (arg == QLatin1String("--silent")) {
            faults.silent = true;
        } else if (arg == QLatin1String("--slow")) {
            faults.answerDelayMs = 120;
        } else if (arg == QLatin1String("--garbage")) {
            faults.garbage = QByteArrayLiteral("#~");
        } else if (arg == QLatin1String("--reject")) {
            faults.rejectAll = true;
        } else if (arg == QLatin1String("--vanish-after")) {
            bool ok = false;
            if (!next(value) || value.toInt(&ok) <= 0 || !ok)
                return QStringLiteral("--vanish-after needs a positive number");
            instrument.setVanishAfterLines(value.toInt());
        } else if (arg == QLatin1String("--no-save-answer")) {
            instrument.eeprom().setSaveAnswered(false);
        } else if (arg == QLatin1String("--eeprom")) {
            if (!next(value))
                return QStringLiteral("--eeprom needs a file");
            const QString error = instrument.eeprom().useFile(value);
            if (!error.isEmpty())
                return error;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return QStringLiteral("quarvel-sim: the virtual Quarvel instrument on a pseudo-terminal");
        } else {
            return QStringLiteral("unknown option %1").arg(arg);
        }
    }
    return {};
}

} // namespace quarvel::sim
