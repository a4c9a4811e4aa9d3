#include "sim/SimOptions.h"

#include "sim/BootLoader.h"
#include "sim/PtyServer.h"
#include "sim/StoredRecord.h"
#include "sim/VirtualInstrument.h"

namespace quarvel::sim {

QString optionsHelp()
{
    return QStringLiteral(
        "usage: quarvel-sim [options]\n"
        "  --link PATH        make PATH a link to the device (e.g. ~/.config/Quarvel/com1); it\n"
        "                     dangles while unplugged and leads to the new device when back\n"
        "  --silent           never answer\n"
        "  --reject           answer every command with \"?\"\n"
        "  --identify-only    answer the identify line only; no echo or answer to any other line\n"
        "  --vanish-after N   leave the line after N command lines\n"
        "  --away MS          after vanishing, come back after MS on a new pseudo-terminal behind\n"
        "                     the same link (default: a vanish fault ends the program)\n"
        "  --boot-time MS     after coming back or a restart, hear nothing for MS (default 500)\n"
        "signals: SIGUSR1 unplugs the instrument for --away MS (default 3000; a second SIGUSR1\n"
        "plugs it back at once), SIGUSR2 restarts its application; the device path is printed\n"
        "again when it comes back.\n"
        "  --no-save-answer   store the settings on \"ESV\" but never answer\n"
        "  --eeprom FILE      keep the EEPROM copy in FILE across restarts\n"
        "  --decode-line-speed  bytes sent at another speed than the instrument's (9600, its\n"
        "                     loader 19200) arrive as a UART decodes them, and are acted on\n"
        "boot loader (after 1pgm):\n"
        "  --loader-running           start with the boot loader running instead of the application\n"
        "  --loader-silent            never answer\n"
        "  --loader-drop-byte N       lose the N-th byte the loader sends\n"
        "  --loader-ignore-fuses      echo fuse and lock writes but change nothing\n"
        "  --loader-stuck-byte ADDR   this flash byte keeps its value on page writes\n"
        "  --loader-vanish-after-pages N  leave the line after N page writes\n"
        "  --loader-turnaround MS     delay before every answer (default 0)\n"
        "  --loader-page-write MS     delay before a page write is acknowledged (default 4)\n"
        "  --loader-flash-file FILE   write the whole flash to FILE after every erase and page write\n"
        "  --record-length N  the stored record holds N values (default 300)\n"
        "  --record-empty-line N  an empty line after N values of the stored record\n"
        "  --record-pause N   a 250 ms pause after N values of the stored record\n"
        "  --record-not-numbers N  every N-th stored value is not a number\n");
}

QString applyOptions(const QStringList& arguments, VirtualInstrument& instrument, PtyServer& server)
{
    auto& faults = instrument.application().faults();
    auto* loader = dynamic_cast<BootLoader*>(instrument.bootLoader());
    auto& record = instrument.storedRecord().options();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const auto next = [&](QString& value) {
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };
        const auto count = [&](const QString& name, int& target, int least) {
            QString text;
            bool ok = false;
            if (i + 1 < arguments.size())
                text = arguments[++i];
            const int n = text.toInt(&ok);
            if (!ok || n < least)
                return QStringLiteral("%1 needs a number of at least %2").arg(name).arg(least);
            target = n;
            return QString();
        };
        QString value;
        if (arg == QLatin1String("--link")) {
            if (!next(value))
                return QStringLiteral("--link needs a path");
            server.setLinkPath(value);
        } else if (arg == QLatin1String("--silent")) {
            faults.silent = true;
        } else if (arg == QLatin1String("--reject")) {
            faults.rejectAll = true;
        } else if (arg == QLatin1String("--identify-only")) {
            faults.identifyOnly = true;
        } else if (arg == QLatin1String("--vanish-after")) {
            bool ok = false;
            if (!next(value) || value.toInt(&ok) <= 0 || !ok)
                return QStringLiteral("--vanish-after needs a positive number");
            instrument.setVanishAfterLines(value.toInt());
        } else if (arg == QLatin1String("--away") || arg == QLatin1String("--boot-time")) {
            int ms = 0;
            if (const QString e = count(arg, ms, 0); !e.isEmpty())
                return e;
            if (arg == QLatin1String("--away"))
                server.setAwayMs(ms);
            else
                server.setBootMs(ms);
        } else if (arg == QLatin1String("--decode-line-speed")) {
            instrument.setDecodeLineSpeed(true);
        } else if (arg == QLatin1String("--no-save-answer")) {
            instrument.eeprom().setSaveAnswered(false);
        } else if (arg == QLatin1String("--eeprom")) {
            if (!next(value))
                return QStringLiteral("--eeprom needs a file");
            const QString error = instrument.eeprom().useFile(value);
            if (!error.isEmpty())
                return error;
        } else if (arg.startsWith(QLatin1String("--loader-"))) {
            if (!loader)
                return QStringLiteral("%1: the instrument has no boot loader").arg(arg);
            const auto number = [&](double& out, double minimum) {
                bool ok = false;
                if (!next(value))
                    return false;
                out = value.toDouble(&ok);
                return ok && out >= minimum;
            };
            double n = 0;
            if (arg == QLatin1String("--loader-running")) {
                instrument.startInBootLoader();
            } else if (arg == QLatin1String("--loader-silent")) {
                loader->faults().silent = true;
            } else if (arg == QLatin1String("--loader-ignore-fuses")) {
                loader->faults().ignoreFuseWrites = true;
            } else if (arg == QLatin1String("--loader-drop-byte") && number(n, 1)) {
                loader->faults().dropByte = static_cast<int>(n);
            } else if (arg == QLatin1String("--loader-stuck-byte") && number(n, 0)) {
                loader->faults().stuckAddress = static_cast<int>(n);
            } else if (arg == QLatin1String("--loader-vanish-after-pages") && number(n, 1)) {
                loader->faults().vanishAfterPages = static_cast<int>(n);
            } else if (arg == QLatin1String("--loader-turnaround") && number(n, 0)) {
                loader->timing().turnaroundMs = n;
            } else if (arg == QLatin1String("--loader-flash-file") && next(value)) {
                loader->setFlashFile(value);
            } else if (arg == QLatin1String("--loader-page-write") && number(n, 0)) {
                loader->timing().pageWriteMs = n;
            } else {
                return QStringLiteral("%1: unknown, or needs a number in range").arg(arg);
            }
        } else if (arg == QLatin1String("--record-length")) {
            if (const QString e = count(arg, record.length, 0); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--record-empty-line")) {
            if (const QString e = count(arg, record.emptyLineAfter, 0); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--record-pause")) {
            if (const QString e = count(arg, record.pauseAfter, 0); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--record-not-numbers")) {
            if (const QString e = count(arg, record.notNumberEvery, 1); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return QStringLiteral("quarvel-sim: the virtual Quarvel instrument on a pseudo-terminal");
        } else {
            return QStringLiteral("unknown option %1").arg(arg);
        }
    }
    return {};
}

} // namespace quarvel::sim
