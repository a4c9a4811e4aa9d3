#pragma once

#include "recorder/RecordArithmetic.h"
#include "recorder/RecordModel.h"

#include <QObject>
#include <QString>

#include <optional>

namespace quarvel {

class SampleTimer;
class SerialLink;

// Live acquisition of the pack voltage: the record being taken, its sampling timer, the settings
// it was made with, and the one rule of sampling. Each tick of timer() is to call takeSample()
// (the front end wires it). A sample goes to the point under the cursor and moves the cursor on;
// a sample without a number is a gap. When the sample about to be taken fills the record, its
// total time doubles first; a record that cannot double again (more than 32767 points) takes
// that last sample and is full. After a time without samples (suspended) the next sample goes
// to the point of its own time and the points passed meanwhile stay gaps.
class LiveAcquisition : public QObject {
    Q_OBJECT
public:
    // Idle: no record is being taken. Acquiring: each tick takes a sample. Suspended: a record is
    // being taken, its time runs on, no sample is taken. Full: taking ended because the record
    // could not double again.
    enum class State { Idle, Acquiring, Suspended, Full };
    Q_ENUM(State)

    explicit LiveAcquisition(SerialLink& link, QObject* parent = nullptr);

    State state() const { return m_state; }
    // Acquiring or suspended: a record is being taken.
    bool isTaking() const { return m_state == State::Acquiring || m_state == State::Suspended; }
    RecordModel& model() { return m_model; }
    const RecordModel& model() const { return m_model; }
    SampleTimer& timer() { return *m_timer; }
    // The settings texts the record was made with, the minutes as doubled since: what its file holds.
    const QString& secondsText() const { return m_secondsText; }
    const QString& minutesText() const { return m_minutesText; }
    // The points up to the last one sampled in this record (gaps in between included): what its
    // file holds. The cursor cannot tell once the last point is sampled, as it stays there.
    int pointsTaken() const { return m_pointsTaken; }

    // A record of these (checked) settings, every point a gap, that is not taken live: shown
    // empty, loaded or downloaded. Between records only.
    void newRecord(const RecordSettings& settings, const QString& secondsText, const QString& minutesText);
    // Checks the settings against the port's speed, then starts a new record: the first sample
    // falls due one interval from now and goes to point 1. Between records only. Returns what
    // is wrong with the settings (nothing started) or nothing.
    QString start(const QString& secondsText, const QString& minutesText);
    // Ends the record being taken; it stays, the cursor after its last sample.
    void stop();
    // Acquiring: no more samples until resume(); the record's time runs on.
    void suspend();
    // Suspended: acquiring again in step with the record's time (or full, when the time passed
    // needs more points than the record can hold).
    void resume();
    // One sample, when a tick falls due while acquiring.
    void takeSample();
    // Without doubling, a record whose time is up takes its last sample and is full (the
    // command line's "record, then stop and save"). Doubling is the rule unless switched off.
    void setDoubling(bool doubles) { m_doubling = doubles; }

signals:
    // start() began a new record.
    void recordStarted();
    void stateChanged(quarvel::LiveAcquisition::State state);
    // A sample went to this point (nothing: a gap).
    void sampled(int point, std::optional<double> volts);
    // The record's total time doubled to minutesText().
    void doubled(const QString& minutesText);
    // The port closed during a sample. The sample is stored as a gap unless the record is
    // stopped from here.
    void instrumentAway();
    // Taking the record ended: stopped (Idle) or full (Full).
    void ended(quarvel::LiveAcquisition::State state);

private:
    bool doubleRecord();
    // Moves the cursor to the point of the current time, doubling as needed; ends the record
    // as full (false) when it cannot double.
    bool catchUp();
    void end(State state);
    void setState(State state);

    SerialLink& m_link;
    RecordModel m_model;
    SampleTimer* m_timer;
    QString m_secondsText;
    QString m_minutesText;
    State m_state = State::Idle;
    int m_pointsTaken = 0;
    bool m_doubling = true;
};

} // namespace quarvel
