#pragma once

#include <QObject>
#include <QTimer>

namespace quarvel {

class SerialLink;

// The sampling timer of live acquisition. A tick never interrupts another exchange on the link:
// one that falls due while the link is busy is delivered right after the link becomes idle
// (ticks missed meanwhile count once, so a slow instrument is not flooded afterwards).
class SampleTimer : public QObject {
    Q_OBJECT
public:
    explicit SampleTimer(SerialLink& link, QObject* parent = nullptr);

    void start(int intervalMs);
    // Stops ticking and forgets a tick still waiting for the link.
    void stop();
    bool isActive() const { return m_timer->isActive(); }
    int interval() const { return m_timer->interval(); }

signals:
    void sampleDue();

private:
    void tick();
    void linkIdle();

    SerialLink& m_link;
    QTimer* m_timer; // "tmrAcquire", a child so it can be found by name
    bool m_pending = false;
};

} // namespace quarvel
