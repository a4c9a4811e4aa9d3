#include "sim/Eeprom.h"

#include "sim/ApplicationFirmware.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>

namespace quarvel::sim {

namespace {

QMap<QString, QString> factoryDefaults()
{
    QMap<QString, QString> values;
    const auto& table = ApplicationFirmware::table();
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        values[it.key()] = it->factory;
    return values;
}

} // namespace

Eeprom::Eeprom(ApplicationFirmware& app) : m_app(app), m_stored(factoryDefaults())
{
    m_app.addLineHandler([this](const QString& command) { return handle(command); });
}

std::optional<std::vector<Chunk>> Eeprom::handle(const QString& command)
{
    const auto replace = [this](const QMap<QString, QString>& values) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            m_app.setValue(it.key(), it.value());
    };
    if (command == QLatin1String("ELD")) {
        replace(m_stored);
        return std::vector<Chunk>{{kLineEnd, 0}};
    }
    if (command == QLatin1String("ERD")) {
        replace(factoryDefaults());
        return std::vector<Chunk>{{kLineEnd, 0}};
    }
    if (command != QLatin1String("ESV"))
        return std::nullopt;

    m_stored = m_app.workingSettings();
    QString error;
    const bool stored = store(error);
    if (!stored)
        QTextStream(stderr) << "quarvel-sim: " << error << "\n";
    if (!m_saveAnswered)
        return std::vector<Chunk>{};
    return std::vector<Chunk>{{(stored ? QByteArrayLiteral("Saved") : QByteArrayLiteral("?")) + kLineEnd,
                               kSaveAnswerGapMs}};
}

QString Eeprom::useFile(const QString& path)
{
    m_file = path;
    if (!QFile::exists(path))
        return {};
    const QString error = load(path);
    if (!error.isEmpty())
        return QStringLiteral("EEPROM file %1: %2").arg(path, error);
    for (auto it = m_stored.cbegin(); it != m_stored.cend(); ++it)
        m_app.setValue(it.key(), it.value());
    return {};
}

QString Eeprom::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return parseError.errorString();
    if (!document.isObject())
        return QStringLiteral("not a JSON object of settings");
    QMap<QString, QString> values = factoryDefaults();
    const QJsonObject object = document.object();
    const auto& table = ApplicationFirmware::table();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const auto setting = table.constFind(it.key());
        if (setting == table.cend())
            return QStringLiteral("unknown setting \"%1\"").arg(it.key());
        if (!it.value().isString() || !setting->accepts(it.value().toString()))
            return QStringLiteral("the value of \"%1\" is out of range").arg(it.key());
        values[it.key()] = it.value().toString();
    }
    m_stored = values;
    return {};
}

bool Eeprom::store(QString& error) const
{
    if (m_file.isEmpty())
        return true;
    QJsonObject object;
    for (auto it = m_stored.cbegin(); it != m_stored.cend(); ++it)
        object[it.key()] = it.value();
    const QByteArray bytes = QJsonDocument(object).toJson();
    QSaveFile file(m_file);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = QStringLiteral("cannot write the EEPROM file %1: %2").arg(m_file, file.errorString());
    return false;
}

} // namespace quarvel::sim
