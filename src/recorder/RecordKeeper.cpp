#include "recorder/RecordKeeper.h"

#include "recorder/LiveAcquisition.h"
#include "recorder/LiveRecordWriter.h"
#include "recorder/RecordFileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace quarvel {

namespace {
const QString kPrefix = QStringLiteral("record-");
const QString kSuffix = QStringLiteral(".csv");
const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

QString lockPath(const QString& path)
{
    return path + QStringLiteral(".lock");
}

QDateTime startedAt(const QString& path)
{
    const QString name = QFileInfo(path).completeBaseName().mid(kPrefix.size());
    return QDateTime::fromString(name, kTimeFormat);
}

int samplesIn(const RecordFileLoad& load)
{
    int samples = 0;
    for (const auto& value : load.values)
        samples += value.has_value();
    return samples;
}
} // namespace

QString RecordKeeper::defaultFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base)) // unset, or relative: the standard says to ignore it
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Quarvel");
}

RecordKeeper::RecordKeeper(LiveAcquisition& acquisition, QString folder, QObject* parent)
    : QObject(parent), m_acquisition(acquisition), m_folder(std::move(folder))
{
    connect(&acquisition, &LiveAcquisition::recordStarted, this, &RecordKeeper::startRecord);
}

RecordKeeper::~RecordKeeper()
{
    delete m_writer; // syncs and closes
    m_writer = nullptr;
    m_locks.clear(); // unlocks: the records stay for the next start
}

void RecordKeeper::startRecord()
{
    recordReplaced();
    if (!QDir().mkpath(m_folder)) {
        emit keepFailed(QStringLiteral("Cannot create the folder %1 that keeps records as they are taken.")
                            .arg(QDir::toNativeSeparators(m_folder)));
        return;
    }
    const QString path = QDir(m_folder).filePath(kPrefix + QDateTime::currentDateTime().toString(kTimeFormat) + kSuffix);
    auto lock = std::make_unique<QLockFile>(lockPath(path));
    lock->setStaleLockTime(0); // held as long as the window lives; a dead process's lock is stale
    if (!lock->tryLock(0)) {
        emit keepFailed(QStringLiteral("Cannot lock %1 to keep the record as it is taken.")
                            .arg(QDir::toNativeSeparators(lockPath(path))));
        return;
    }
    m_locks[path] = std::move(lock);
    m_current = path;
    m_writer = new LiveRecordWriter(m_acquisition, path, QString(), this);
    connect(m_writer, &LiveRecordWriter::failed, this, [this](const QString& message) {
        emit keepFailed(message + QStringLiteral(". The record is only in memory: save it before you close the window."));
    });
}

QList<RecordKeeper::Kept> RecordKeeper::claimLeftRecords()
{
    QList<Kept> left;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (m_locks.count(path))
            continue; // this window's own
        auto lock = std::make_unique<QLockFile>(lockPath(path));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue; // another running window keeps or offers it
        const RecordFileLoad load = RecordFileReader::load(path, {}, {});
        left.append({path, startedAt(path), samplesIn(load)});
        m_locks[path] = std::move(lock);
    }
    return left;
}

RecordFileLoad RecordKeeper::restore(const QString& path)
{
    RecordFileLoad load = RecordFileReader::load(path, {}, {});
    if (load.settings) {
        recordReplaced();
        m_current = path;
    }
    return load;
}

QString RecordKeeper::discard(QString path)
{
    if (path == m_current) {
        delete m_writer;
        m_writer = nullptr;
        m_current.clear();
    }
    QFile file(path);
    if (file.exists() && !file.remove())
        return QStringLiteral("Cannot delete the kept record %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    m_locks.erase(path); // after the record: a lock never outlives nothing
    return {};
}

void RecordKeeper::recordSaved()
{
    if (m_current.isEmpty() || m_acquisition.isTaking())
        return;
    discard(m_current);
}

void RecordKeeper::recordReplaced()
{
    if (m_current.isEmpty())
        return;
    const bool written = !m_writer || m_writer->started();
    delete m_writer;
    m_writer = nullptr;
    const QString path = m_current;
    m_current.clear();
    if (written)
        release(path);
    else
        discard(path); // no sample came: nothing to keep
}

void RecordKeeper::release(const QString& path)
{
    m_locks.erase(path);
}

} // namespace quarvel
