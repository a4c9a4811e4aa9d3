#include "sim/ApplicationFirmware.h"

#include "sim/BatteryPack.h"

namespace quarvel::sim {

namespace {

std::function<bool(const QString&)> numberIn(double low, double high)
{
    return [low, high](const QString& text) {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        return ok && v >= low && v <= high;
    };
}

std::function<bool(const QString&)> textUpTo(int length)
{
    return [length](const QString& text) { return text.size() <= length; };
}

QByteArray wire(const QString& text)
{
    return text.toLatin1();
}

} // namespace

const QMap<QString, ApplicationFirmware::Setting>& ApplicationFirmware::table()
{
    static const QMap<QString, Setting> settings = [] {
        QMap<QString, Setting> t;
        const auto volts = numberIn(0, 30);
        t[QStringLiteral("DVA")] = {QStringLiteral("Receiver"), textUpTo(16), true};
        t[QStringLiteral("DRA")] = {QStringLiteral("10"), numberIn(5, 1000)};
        t[QStringLiteral("DHA")] = {QStringLiteral("5"), volts};
        t[QStringLiteral("DWA")] = {QStringLiteral("4.6"), volts};
        t[QStringLiteral("DLA")] = {QStringLiteral("4.4"), volts};
        t[QStringLiteral("DVD")] = {QStringLiteral("5"), numberIn(0, 255)};
        t[QStringLiteral("DVB")] = {QStringLiteral("Flight pack"), textUpTo(16), true};
        t[QStringLiteral("DRB")] = {QStringLiteral("7.5"), numberIn(5, 1000)};
        t[QStringLiteral("DHB")] = {QStringLiteral("8.4"), volts};
        t[QStringLiteral("DWB")] = {QStringLiteral("6.5"), volts};
        t[QStringLiteral("DLB")] = {QStringLiteral("6.0"), volts};
        const char* positions[] = {"1000", "1250", "1500", "1750", "2000", "1500", "0", "0", "0", "0"};
        for (int k = 0; k < 10; ++k)
            t[QStringLiteral("DCY %1").arg(k)] = {QString::fromLatin1(positions[k]), numberIn(0, 2500)};
        t[QStringLiteral("DDT")] = {QStringLiteral("2"), numberIn(0, 255)};
        t[QStringLiteral("DM1")] = {QStringLiteral("QUARVEL"), textUpTo(16), true};
        t[QStringLiteral("DM2")] = {QStringLiteral("Battery check"), textUpTo(16), true};
        t[QStringLiteral("DVC")] = {QStringLiteral("1.000"), numberIn(0.5, 2)};
        t[QStringLiteral("DMD")] = {QStringLiteral("0"), numberIn(0, 3)};
        t[QStringLiteral("DRD")] = {QStringLiteral("1"), numberIn(0.1, 3600)};
        return t;
    }();
    return settings;
}

ApplicationFirmware::ApplicationFirmware(BatteryPack& pack) : m_pack(pack)
{
    for (auto it = table().cbegin(); it != table().cend(); ++it)
        m_working[it.key()] = it->factory;
}

bool ApplicationFirmware::takeBootLoaderRequest()
{
    const bool requested = m_bootLoaderRequested;
    m_bootLoaderRequested = false;
    return requested;
}

void ApplicationFirmware::receive(char byte, std::vector<Chunk>& out)
{
    if (m_faults.silent)
        return;
    m_line.append(byte);
    if (!m_faults.identifyOnly)
        out.push_back({QByteArray(1, byte), 0});
    if (byte != '\r')
        return;
    const QString line = QString::fromLatin1(m_line.chopped(1));
    const QByteArray echo = m_line;
    m_line.clear();
    if (m_faults.identifyOnly) {
        if (line != QLatin1String("1DID"))
            return;
        out.push_back({echo, 0});
    }
    for (Chunk& c : answer(line))
        out.push_back(std::move(c));
}

QString ApplicationFirmware::readReport(const QString& code)
{
    BatteryPack& pack = m_pack;
    if (code == QLatin1String("RNV"))
        return QString::number(pack.noLoadVolts(), 'f', 2);
    if (code == QLatin1String("RLV"))
        return QString::number(pack.loadedVolts(m_working.value(QStringLiteral("DRA")).toDouble()), 'f', 2);
    if (code == QLatin1String("RIM"))
        return QString::number(pack.impedanceOhms(), 'f', 3);
    return {};
}

std::vector<Chunk> ApplicationFirmware::answer(const QString& line)
{
    if (!line.startsWith(QLatin1Char('1')))
        return {}; // another address, or a bare CR to wake the line
    ++m_lines;
    const QString command = line.mid(1);
    const auto reply = [this](const QString& text) {
        return std::vector<Chunk>{{wire(text) + kLineEnd, kAnswerGapMs}};
    };
    const auto rejected = [&] { return reply(QStringLiteral("?")); };
    if (m_faults.rejectAll)
        return rejected();

    if (command == QLatin1String("pgm")) {
        m_bootLoaderRequested = true;
        return {};
    }
    if (command == QLatin1String("DID"))
        return reply(QStringLiteral("Quarvel V1.2 (virtual instrument)"));
    for (const LineHandler& handler : m_handlers) {
        if (auto chunks = handler(command)) {
            for (Chunk& c : *chunks)
                c.gapMs += kAnswerGapMs;
            return *chunks;
        }
    }
    if (command.startsWith(QLatin1Char('R'))) {
        const QString value = readReport(command);
        return value.isEmpty() ? rejected() : reply(value);
    }

    // "DCY 3" is a code with a blank; the value, if any, follows the next blank.
    QString code = command.left(3);
    QString rest = command.mid(3);
    if (code == QLatin1String("DCY")) {
        code = command.left(5);
        rest = command.mid(5);
    }
    const auto setting = table().constFind(code);
    if (setting == table().cend())
        return rejected();
    if (rest.isEmpty())
        return reply(m_working.value(code));
    if (!rest.startsWith(QLatin1Char(' ')))
        return rejected();
    const QString value = rest.mid(1);
    if (!setting->accepts(value))
        return rejected();
    m_working[code] = value;
    return reply(QString());
}

} // namespace quarvel::sim
