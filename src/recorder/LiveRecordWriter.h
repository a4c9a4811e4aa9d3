#pragma once

#include "recorder/LiveRecordFile.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace quarvel {

class LiveAcquisition;

// Keeps the record being taken in a record file as it grows: nothing before its first sample,
// then the whole file (which replaces a file of that name only now), each later sample in its
// own line in place, and the whole file again when the record's time doubles. What is written
// reaches the disk within kSyncMs; a killed program loses at most the sample it was writing.
class LiveRecordWriter : public QObject {
    Q_OBJECT
public:
    static constexpr int kSyncMs = 5000;

    // Follows the record that `acquisition` takes from now on.
    LiveRecordWriter(LiveAcquisition& acquisition, const QString& path, QString comment, QObject* parent = nullptr);
    // Syncs and closes the file, which stays.
    ~LiveRecordWriter() override;

    const QString& path() const { return m_file.path(); }
    // The first sample was written: the file holds the record.
    bool started() const { return m_started; }
    // The first write that failed, or empty. Later samples are not written; the record in memory
    // goes on, and the file stays as it was last written whole or in place.
    const QString& error() const { return m_error; }
    // Syncs and closes the file now.
    void finish();

signals:
    // A write failed (once).
    void failed(const QString& message);

private:
    void sampled(int point, std::optional<double> volts);
    void doubled();
    void writeWhole();
    void check(const QString& error);
    void fail(const QString& error);
    void sync();

    LiveAcquisition& m_acquisition;
    LiveRecordFile m_file;
    QString m_comment;
    QTimer m_syncTimer;
    QString m_error;
    bool m_started = false;
};

} // namespace quarvel
