#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QLockFile;

namespace quarvel {

class LiveAcquisition;
class LiveRecordWriter;
struct RecordFileLoad;

// Keeps every record the window takes in a record file of its own in a folder, from its first
// sample until it is saved whole or discarded, so that a crash, a killed program, a power cut or
// simply closing the window loses none of it. Each kept record has a lock file while a window
// keeps or offers it: two windows never take each other's record, and a record whose window
// ended (its lock gone or its process dead) is offered back at the next start.
class RecordKeeper : public QObject {
    Q_OBJECT
public:
    // A kept record that no running window holds.
    struct Kept {
        QString path;
        QDateTime started;
        int samples = 0; // points with a value
    };

    // $XDG_STATE_HOME/Quarvel (by default ~/.local/state/Quarvel).
    static QString defaultFolder();

    RecordKeeper(LiveAcquisition& acquisition, QString folder, QObject* parent = nullptr);
    // The record kept stays in the folder for the next start; its lock goes.
    ~RecordKeeper() override;

    const QString& folder() const { return m_folder; }
    // The file of the record shown, while it is kept; empty otherwise.
    QString currentPath() const { return m_current; }

    // The records that windows left unsaved and that no running window holds, oldest first. Each
    // is locked for this keeper until it is restored or discarded, or this keeper ends.
    QList<Kept> claimLeftRecords();
    // Reads a claimed record; on success it becomes the record shown and kept here.
    RecordFileLoad restore(const QString& path);
    // Deletes a claimed record. Returns a message, empty on success.
    QString discard(QString path);

    // The record shown was saved whole: its kept copy is no longer needed (not while it is still
    // being taken, as later samples are not in the saved file).
    void recordSaved();
    // Another record replaces the one shown (loaded or downloaded): the one kept stays in the
    // folder, unlocked, and is offered at the next start.
    void recordReplaced();

signals:
    // The record being taken cannot be kept: it is in memory only.
    void keepFailed(const QString& message);

private:
    void startRecord();
    void release(const QString& path);

    LiveAcquisition& m_acquisition;
    QString m_folder;
    QString m_current;
    LiveRecordWriter* m_writer = nullptr;
    std::map<QString, std::unique_ptr<QLockFile>> m_locks;
};

} // namespace quarvel
