#include "sim/BatteryPack.h"

#include <cmath>

namespace quarvel::sim {

BatteryPack::BatteryPack()
{
    m_clock.start();
}

void BatteryPack::setElapsedMinutes(double minutes)
{
    m_offsetMinutes = minutes;
    m_clock.restart();
}

double BatteryPack::minutes() const
{
    return m_offsetMinutes + m_clock.elapsed() / 60000.0;
}

double BatteryPack::dischargeVolts(double minutes, int sample)
{
    // A fixed pseudo-random wobble per sample keeps stored records repeatable.
    const double noise = ((sample * 7919) % 21 - 10) / 1000.0;
    return 7.2 + 1.2 * std::exp(-minutes / 30.0) + noise;
}

double BatteryPack::noLoadVolts()
{
    std::uniform_real_distribution<double> noise(-0.01, 0.01);
    return 7.2 + 1.2 * std::exp(-minutes() / 30.0) + noise(m_noise);
}

double BatteryPack::loadedVolts(double loadOhms)
{
    const double open = noLoadVolts();
    if (loadOhms <= 0)
        return open;
    return open * loadOhms / (loadOhms + impedanceOhms());
}

} // namespace quarvel::sim
