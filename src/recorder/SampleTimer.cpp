#include "recorder/SampleTimer.h"

#include "link/SerialLink.h"

#include <algorithm>

namespace quarvel {

SampleTimer::SampleTimer(SerialLink& link, QObject* parent) : QObject(parent), m_link(link), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("tmrAcquire"));
    m_timer->setInterval(m_interval);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    connect(m_timer, &QTimer::timeout, this, &SampleTimer::tick);
    // Queued: the sample starts after the exchange that just ended has returned to its caller.
    connect(&m_link, &SerialLink::idle, this, &SampleTimer::linkIdle, Qt::QueuedConnection);
}

void SampleTimer::start(int intervalMs)
{
    m_pending = false;
    m_interval = intervalMs;
    m_startedAt = m_clock();
    m_timer->start(intervalMs);
}

void SampleTimer::stop()
{
    m_pending = false;
    m_timer->stop();
}

qint64 SampleTimer::ticksDue() const
{
    return (m_clock() - m_startedAt) / m_interval;
}

void SampleTimer::resume()
{
    const qint64 nextDue = m_startedAt + (ticksDue() + 1) * m_interval;
    m_pending = false;
    m_timer->start(static_cast<int>(std::clamp<qint64>(nextDue - m_clock(), 0, m_interval)));
}

void SampleTimer::tick()
{
    if (m_timer->interval() != m_interval)
        m_timer->setInterval(m_interval); // the first tick after resume() set the step again
    if (m_link.busy()) {
        m_pending = true;
        return;
    }
    m_pending = false;
    emit sampleDue();
}

void SampleTimer::linkIdle()
{
    if (!m_pending || !m_timer->isActive() || m_link.busy())
        return;
    m_pending = false;
    emit sampleDue();
}

} // namespace quarvel
