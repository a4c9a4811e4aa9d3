#include "recorder/LiveRecordFile.h"

#include "recorder/RecordArithmetic.h"
#include "recorder/RecordFileWriter.h"

#include <QDir>
#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <unistd.h>

namespace quarvel {

namespace {
QByteArray valueField(std::optional<double> value)
{
    const QByteArray text = value && std::isfinite(*value) ? shortestText(*value).toLatin1() : QByteArray();
    return QByteArray(LiveRecordFile::kValueWidth - qMin<qsizetype>(text.size(), LiveRecordFile::kValueWidth), ' ')
        + text.left(LiveRecordFile::kValueWidth);
}
} // namespace

LiveRecordFile::LiveRecordFile(QString path) : m_path(std::move(path)) {}

QByteArray LiveRecordFile::format(const RecordFileContent& content, std::vector<qint64>* valueOffsets)
{
    RecordFileContent header = content;
    header.labels.clear();
    header.values.clear();
    QByteArray out = RecordFileWriter::format(header);
    out.reserve(out.size() + content.labels.size() * (12 + kValueWidth));
    if (valueOffsets)
        valueOffsets->clear();
    for (int k = 0; k < content.labels.size(); ++k) {
        out += content.labels[k].toLatin1();
        out += ',';
        if (valueOffsets)
            valueOffsets->push_back(out.size());
        const double value = static_cast<size_t>(k) < content.values.size() ? content.values[k] : NAN;
        out += valueField(std::isnan(value) ? std::nullopt : std::optional<double>(value));
        out += "\r\n";
    }
    return out;
}

QString LiveRecordFile::failure(const QString& error) const
{
    return QStringLiteral("Cannot write the record to %1 as it is taken: %2").arg(QDir::toNativeSeparators(m_path), error);
}

QString LiveRecordFile::writeWhole(const RecordFileContent& content)
{
    m_file.close();
    std::vector<qint64> offsets;
    const QByteArray bytes = format(content, &offsets);
    QSaveFile whole(m_path);
    // Unbuffered: a short write (a full disk) shows in write()'s count. commit() syncs the copy
    // to the disk before it takes the file's place.
    if (!whole.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(whole.errorString());
    if (whole.write(bytes) != bytes.size()) {
        const QString error = whole.errorString();
        whole.cancelWriting();
        return failure(error);
    }
    if (!whole.commit())
        return failure(whole.errorString());
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failure(m_file.errorString());
    m_valueAt = std::move(offsets);
    return {};
}

QString LiveRecordFile::writeValue(int point, std::optional<double> value)
{
    if (!m_file.isOpen() || point < 1 || static_cast<size_t>(point) > m_valueAt.size())
        return failure(QStringLiteral("point %1 is not in the file").arg(point));
    const QByteArray field = valueField(value);
    if (!m_file.seek(m_valueAt[static_cast<size_t>(point - 1)]) || m_file.write(field) != field.size())
        return failure(m_file.errorString());
    return {};
}

QString LiveRecordFile::sync()
{
    if (m_file.isOpen() && ::fdatasync(m_file.handle()) != 0)
        return failure(QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

} // namespace quarvel
