#include "recorder/LiveRecordWriter.h"

#include "recorder/LiveAcquisition.h"
#include "recorder/RecordFileContent.h"

namespace quarvel {

LiveRecordWriter::LiveRecordWriter(LiveAcquisition& acquisition, const QString& path, QString comment, QObject* parent)
    : QObject(parent), m_acquisition(acquisition), m_file(path), m_comment(std::move(comment))
{
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(kSyncMs);
    connect(&m_syncTimer, &QTimer::timeout, this, &LiveRecordWriter::sync);
    connect(&acquisition, &LiveAcquisition::sampled, this, &LiveRecordWriter::sampled);
    connect(&acquisition, &LiveAcquisition::doubled, this, &LiveRecordWriter::doubled);
}

LiveRecordWriter::~LiveRecordWriter()
{
    finish();
}

void LiveRecordWriter::finish()
{
    m_syncTimer.stop();
    sync();
    m_file.close();
}

void LiveRecordWriter::sampled(int point, std::optional<double> volts)
{
    if (!m_error.isEmpty())
        return;
    if (!m_started) {
        writeWhole(); // the first sample: the whole record, this sample in it
        m_started = m_error.isEmpty();
        return;
    }
    check(m_file.writeValue(point, volts));
}

void LiveRecordWriter::doubled()
{
    // Before the first sample there is nothing to rewrite: that sample writes the whole file.
    if (m_started && m_error.isEmpty())
        writeWhole();
}

void LiveRecordWriter::writeWhole()
{
    check(m_file.writeWhole(recordFileContent(m_acquisition.model(), m_acquisition.secondsText(),
                                              m_acquisition.minutesText(), m_comment)));
}

void LiveRecordWriter::check(const QString& error)
{
    if (!error.isEmpty())
        fail(error);
    else if (!m_syncTimer.isActive())
        m_syncTimer.start();
}

void LiveRecordWriter::fail(const QString& error)
{
    m_error = error;
    m_syncTimer.stop();
    emit failed(error);
}

void LiveRecordWriter::sync()
{
    m_syncTimer.stop();
    if (!m_error.isEmpty() || !m_file.isOpen())
        return;
    if (const QString error = m_file.sync(); !error.isEmpty())
        fail(error);
}

} // namespace quarvel
