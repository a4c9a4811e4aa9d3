#include "SimOptions.h"

#include "PtyServer.h"
#include "StoredRecord.h"
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
        "  --record-length N  the stored record holds N values (default 300)\n"
        "  --record-empty-line N  an empty line after N values of the stored record\n"
        "  --record-pause N   a 250 ms pause after N values of the stored record\n"
        "  --record-endless   the stored record never ends\n"
        "  --record-not-numbers N  every N-th stored value is not a number\n");
}

QString applyOptions(const QStringList& arguments, VirtualInstrument& instrument, PtyServer& server)
{
    auto& faults = instrument.application().faults();
    const auto stored = StoredRecord::install(instrument);
    auto& record = stored->options();
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
        } else if (arg == QLatin1String("--record-length")) {
            if (const QString e = count(arg, record.length, 0); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--record-empty-line")) {
            if (const QString e = count(arg, record.emptyLineAfter, 0); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--record-pause")) {
            if (const QString e = count(arg, record.pauseAfter, 0); !e.isEmpty())
                return e;
        } else if (arg == QLatin1String("--record-endless")) {
            record.endless = true;
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
