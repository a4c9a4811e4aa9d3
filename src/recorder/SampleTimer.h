#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace quarvel {

class SerialLink;

// The sampling timer of live acquisition. A tick never interrupts another exchange on the link:
// one that falls due while the link is busy is delivered right after the link becomes idle
// (ticks missed meanwhile count once, so a slow instrument is not flooded afterwards).
class SampleTimer : public QObject {
    Q_OBJECT
public:
    // Milliseconds on a clock that never jumps.
    using Clock = std::function<qint64()>;

    explicit SampleTimer(SerialLink& link, QObject* parent = nullptr);

    // Starts ticking every intervalMs; the record's time counts from now.
    void start(int intervalMs);
    // Stops ticking and forgets a tick still waiting for the link; the record's time runs on.
    void stop();
    // Ticks again in step with the time counted since start(): the next tick comes when the
    // next one falls due, as if it had never stopped.
    void resume();
    // Ticks that have fallen due since start(), taken or not.
    qint64 ticksDue() const;
    bool isActive() const { return m_timer->isActive(); }
    int interval() const { return m_interval; }
    void setClock(Clock clock) { m_clock = std::move(clock); }

signals:
    void sampleDue();

private:
    void tick();
    void linkIdle();

    SerialLink& m_link;
    QTimer* m_timer; // "tmrAcquire", a child so it can be found by name
    QElapsedTimer m_elapsed;
    Clock m_clock;
    qint64 m_startedAt = 0;
    int m_interval = 1000;
    bool m_pending = false;
};

} // namespace quarvel
