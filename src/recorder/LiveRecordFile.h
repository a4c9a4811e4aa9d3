#pragma once

#include "recorder/RecordFileContent.h"

#include <QFile>
#include <QString>

#include <optional>
#include <vector>

namespace quarvel {

// A record file that grows with the record being taken. It is written whole when the record
// begins and when its time doubles (beside its place, then put in place, so a file of that name
// is replaced only by a complete one); in between, each sample is written into its own line in
// place. Every data line keeps room for any value: the value stands right-aligned behind leading
// blanks, which a reader skips, so the file is a complete record file at every moment and a
// point not sampled yet is a line of blanks after its comma.
class LiveRecordFile {
public:
    // Room for a value: the longest shortest form of a double ("-2.2250738585072014e-308").
    static constexpr int kValueWidth = 24;

    explicit LiveRecordFile(QString path);

    const QString& path() const { return m_path; }
    bool isOpen() const { return m_file.isOpen(); }

    // Writes the whole file and keeps it open for the samples. Returns a message, empty on success.
    QString writeWhole(const RecordFileContent& content);
    // Writes one point's value in place (nothing: a gap). Returns a message, empty on success.
    QString writeValue(int point, std::optional<double> value);
    // Puts what was written on the disk itself, not only in the system's cache.
    QString sync();
    void close() { m_file.close(); }

    // The bytes writeWhole() writes, and where each point's value begins in them.
    static QByteArray format(const RecordFileContent& content, std::vector<qint64>* valueOffsets = nullptr);

private:
    QString failure(const QString& error) const;

    QString m_path;
    QFile m_file;
    std::vector<qint64> m_valueAt;
};

} // namespace quarvel
