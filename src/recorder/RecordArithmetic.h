#pragma once

#include <QString>

#include <optional>

namespace quarvel {

inline constexpr int kMaxRecordPoints = 32767;

// A record's two settings as the chart set-up takes them: seconds between samples and total
// minutes as singles, and the number of points they give.
struct RecordSettings {
    float seconds = 0;
    float minutes = 0;
    int points = 0;
};

// The number of a text as the record settings read it (C locale, spaces around allowed);
// nothing when the text is not a finite number.
std::optional<double> numberOf(const QString& text);

// floor(T * 60 / S) from the two singles, worked out in double precision.
double pointCountFor(float seconds, float minutes);

// Checks the two settings texts; fills `settings` or returns a message that says what is wrong.
QString checkRecordSettings(const QString& secondsText, const QString& minutesText, RecordSettings& settings);

// Time label of the point with zero-based index k: single(k) * S / 60, in single precision.
QString timeLabel(int k, float seconds);

// Points between two time-axis labels: n / 10 rounded half to even, at least 1.
int labelSpacing(int points);

// The sampling interval in ms for the text of the seconds field: S * 1000 rounded half to even.
// Nothing when the text is not a number or the interval is under 1 ms or beyond a timer's reach.
std::optional<int> sampleIntervalMs(const QString& secondsText);

// The total-time text doubled, written with at most 15 significant digits (10 -> 20, 2.5 -> 5).
QString doubledMinutesText(const QString& minutesText);

// A single written with at most 7 significant digits and no trailing zeros (0, 0.5, 4.983333).
QString singleText(float value);

// The shortest text that reads back as exactly this double (7.52 stays 7.52).
QString shortestText(double value);

} // namespace quarvel
