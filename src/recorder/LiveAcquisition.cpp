#include "recorder/LiveAcquisition.h"

#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "recorder/LiveRecordSettings.h"
#include "recorder/RecordDoubling.h"
#include "recorder/SampleTimer.h"
#include "recorder/VoltageSample.h"

#include <algorithm>

namespace quarvel {

LiveAcquisition::LiveAcquisition(SerialLink& link, QObject* parent)
    : QObject(parent), m_link(link), m_timer(new SampleTimer(link, this))
{
}

void LiveAcquisition::newRecord(const RecordSettings& settings, const QString& secondsText, const QString& minutesText)
{
    // The texts first: whoever redraws on the model's change asks for the new record's interval.
    m_secondsText = secondsText;
    m_minutesText = minutesText;
    m_pointsTaken = 0;
    m_model.setupVoltageChart(settings.seconds, settings.minutes);
    m_model.clearVoltageChart();
}

QString LiveAcquisition::start(const QString& secondsText, const QString& minutesText)
{
    RecordSettings settings;
    int intervalMs = 0;
    const QString problem =
        checkLiveRecordSettings(secondsText, minutesText, m_link.port().settings(), settings, intervalMs);
    if (!problem.isEmpty())
        return problem;
    newRecord(settings, secondsText, minutesText);
    emit recordStarted();
    m_timer->start(intervalMs);
    setState(State::Acquiring);
    return {};
}

void LiveAcquisition::stop()
{
    if (isTaking())
        end(State::Idle);
}

void LiveAcquisition::suspend()
{
    if (m_state != State::Acquiring)
        return;
    m_timer->stop();
    setState(State::Suspended);
}

void LiveAcquisition::resume()
{
    if (m_state != State::Suspended || !catchUp())
        return;
    m_timer->resume();
    setState(State::Acquiring);
}

void LiveAcquisition::takeSample()
{
    if (m_state != State::Acquiring)
        return;
    // The sample about to be taken fills the record: double its total time first.
    const bool full = m_model.cursor() >= m_model.pointCount() && (!m_doubling || !doubleRecord());
    const VoltageSample sample = VoltageSample::read(m_link);
    if (m_state != State::Acquiring)
        return; // stopped or suspended while the instrument answered
    if (sample.away) {
        emit instrumentAway();
        if (m_state != State::Acquiring)
            return;
    }
    const int point = m_model.cursor();
    m_model.setValue(point, sample.volts);
    m_model.setCursor(point + 1);
    m_pointsTaken = point;
    emit sampled(point, sample.volts);
    if (full && m_state == State::Acquiring) // not when stopped on hearing of the sample
        end(State::Full);
}

bool LiveAcquisition::doubleRecord()
{
    if (!extendRecordTime(m_model, m_secondsText, m_minutesText))
        return false;
    emit doubled(m_minutesText);
    return true;
}

bool LiveAcquisition::catchUp()
{
    const qint64 point = std::max<qint64>(m_model.cursor(), m_timer->ticksDue() + 1);
    while (point > m_model.pointCount()) {
        if (!m_doubling || !doubleRecord()) {
            end(State::Full);
            return false;
        }
    }
    m_model.setCursor(static_cast<int>(point));
    return true;
}

void LiveAcquisition::end(State state)
{
    m_timer->stop();
    setState(state);
    emit ended(state);
}

void LiveAcquisition::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace quarvel
