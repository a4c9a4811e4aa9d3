#include "link/PortSettingsFile.h"

#include "link/IniText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace quarvel {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("quarvel::PortSettingsFile", text);
}

QString decode(const QByteArray& bytes)
{
    // Hand-edited files may be in a legacy 8-bit encoding; those are read as Latin-1.
    const QString utf8 = QString::fromUtf8(bytes);
    return utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(bytes) : utf8;
}

QString limited(const std::optional<QString>& value, const QString& fallback)
{
    return value ? value->left(PortSettingsFile::kValueLimit).trimmed() : fallback;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

PortSettingsFile::PortSettingsFile(QString configFolder) : m_folder(std::move(configFolder)) {}

QString PortSettingsFile::path() const
{
    return QDir(m_folder).filePath(kFileName);
}

PortSettingsFile::Values PortSettingsFile::read()
{
    m_error.clear();
    Values values;
    QFile file(path());
    if (!file.exists())
        return values;
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = tr("The port settings file %1 cannot be read: %2").arg(path(), file.errorString());
        return values;
    }
    const QString text = decode(file.readAll());
    values.port = limited(IniText::value(text, kSection, kPortKey), kDefaultPort);
    values.baudRate = limited(IniText::value(text, kSection, kBaudRateKey), kDefaultBaudRate);
    // The program's own keys hold paths, which may be longer than the classic values.
    values.device = IniText::value(text, kSection, kDeviceKey).value_or(QString()).trimmed();
    values.identity = IniText::value(text, kSection, kIdentityKey).value_or(QString()).trimmed();
    return values;
}

bool PortSettingsFile::write(const QString& port, const QString& baudRate)
{
    return writeValues({{kPortKey, port}, {kBaudRateKey, baudRate}});
}

bool PortSettingsFile::rememberDevice(const QString& device, const QString& identity)
{
    const Values stored = read();
    if (stored.device == device && stored.identity == identity)
        return true;
    return writeValues({{kDeviceKey, device}, {kIdentityKey, identity}});
}

bool PortSettingsFile::writeValues(const QList<QPair<QString, QString>>& values)
{
    m_error.clear();
    const auto fail = [this](const QString& reason) {
        m_error = tr("The port settings could not be saved to %1: %2").arg(path(), reason);
        return false;
    };
    for (const auto& [key, value] : values) {
        if (hasLineBreak(value))
            return fail(tr("a value may not contain a line break."));
    }
    if (!QDir().mkpath(m_folder))
        return fail(tr("the folder cannot be created."));

    QString text;
    QFile existing(path());
    if (existing.exists()) {
        // Rewriting a file that cannot be read would lose whatever else it holds.
        if (!existing.open(QIODevice::ReadOnly))
            return fail(existing.errorString());
        text = decode(existing.readAll());
    }
    for (const auto& [key, value] : values)
        text = IniText::withValue(text, kSection, key, value);

    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) // a short write shows in write()'s count
        return fail(file.errorString());
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace quarvel
