#include "recorder/RecordArithmetic.h"

#include <QLocale>

#include <charconv>
#include <climits>
#include <cmath>

namespace quarvel {

std::optional<double> numberOf(const QString& text)
{
    // Decimal numbers in the C locale, blanks around allowed; done by hand because a record file
    // holds tens of thousands of them.
    const QString trimmed = text.trimmed();
    char buffer[64];
    qsizetype length = trimmed.size();
    if (length == 0 || length >= qsizetype(sizeof buffer))
        return std::nullopt;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = trimmed.at(i).unicode();
        if (c > 127)
            return std::nullopt;
        buffer[i] = static_cast<char>(c);
    }
    const char* begin = buffer;
    if (*begin == '+')
        ++begin; // a sign the conversion below does not take
    if (begin == buffer + length || (*begin == '-' && begin != buffer))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, buffer + length, value);
    if (error != std::errc() || end != buffer + length || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double pointCountFor(float seconds, float minutes)
{
    return std::floor(static_cast<double>(minutes) * 60.0 / static_cast<double>(seconds));
}

QString checkRecordSettings(const QString& secondsText, const QString& minutesText, RecordSettings& settings)
{
    const auto seconds = numberOf(secondsText);
    if (!seconds || *seconds <= 0 || !std::isfinite(static_cast<float>(*seconds)))
        return QStringLiteral("\"%1\" is not a valid number of seconds between samples: enter a number greater than 0.")
            .arg(secondsText);
    const auto minutes = numberOf(minutesText);
    if (!minutes || *minutes <= 0 || !std::isfinite(static_cast<float>(*minutes)))
        return QStringLiteral("\"%1\" is not a valid total record time: enter a number of minutes greater than 0.")
            .arg(minutesText);
    const float s = static_cast<float>(*seconds);
    const float t = static_cast<float>(*minutes);
    if (s <= 0 || t <= 0)
        return QStringLiteral("The seconds between samples and the total record time must be greater than 0.");
    const double points = pointCountFor(s, t);
    if (points < 1)
        return QStringLiteral("A total record time of %1 minutes with %2 seconds between samples gives no point: "
                              "the record needs at least 1.")
            .arg(minutesText.trimmed(), secondsText.trimmed());
    if (points > kMaxRecordPoints)
        return QStringLiteral("A total record time of %1 minutes with %2 seconds between samples needs %3 points; "
                              "a record holds at most %4.")
            .arg(minutesText.trimmed(), secondsText.trimmed(), QString::number(points, 'f', 0))
            .arg(kMaxRecordPoints);
    settings = {s, t, static_cast<int>(points)};
    return {};
}

QString timeLabel(int k, float seconds)
{
    // Each step rounds to single precision, as the labels have always been written.
    const float product = static_cast<float>(k) * seconds;
    const float minutes = product / 60.0f;
    return singleText(minutes);
}

int labelSpacing(int points)
{
    const double spacing = std::nearbyint(points / 10.0); // default rounding: halves to even
    return spacing < 1 ? 1 : static_cast<int>(spacing);
}

std::optional<int> sampleIntervalMs(const QString& secondsText)
{
    const auto seconds = numberOf(secondsText);
    if (!seconds)
        return std::nullopt;
    const double ms = std::nearbyint(*seconds * 1000.0);
    if (ms < 1 || ms > INT_MAX)
        return std::nullopt;
    return static_cast<int>(ms);
}

QString doubledMinutesText(const QString& minutesText)
{
    const double minutes = numberOf(minutesText).value_or(0);
    return QString::number(minutes * 2, 'g', 15);
}

QString singleText(float value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    return QString::number(static_cast<double>(value), 'g', 7);
}

QString shortestText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace quarvel
