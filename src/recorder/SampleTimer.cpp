#include "SampleTimer.h"

#include "SerialLink.h"

namespace quarvel {

SampleTimer::SampleTimer(SerialLink& link, QObject* parent) : QObject(parent), m_link(link), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("tmrAcquire"));
    m_timer->setInterval(1000);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &SampleTimer::tick);
    // Queued: the sample starts after the exchange that just ended has returned to its caller.
    connect(&m_link, &SerialLink::idle, this, &SampleTimer::linkIdle, Qt::QueuedConnection);
}

void SampleTimer::start(int intervalMs)
{
    m_pending = false;
    m_timer->start(intervalMs);
}

void SampleTimer::stop()
{
    m_pending = false;
    m_timer->stop();
}

void SampleTimer::tick()
{
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
