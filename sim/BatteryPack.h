#pragma once

#include <QElapsedTimer>

#include <random>

namespace quarvel::sim {

// A 2-cell lithium pack discharging from 8.4 V towards 7.2 V, with a little noise.
class BatteryPack {
public:
    BatteryPack();

    double noLoadVolts();
    double loadedVolts(double loadOhms);
    double impedanceOhms() const { return 0.12; }

    // The no-load voltage after this many minutes of use, with the noise of sample `sample`:
    // 8.4 V falling towards 7.2 V, faster at first, with a little noise.
    static double dischargeVolts(double minutes, int sample);

    // Makes the discharge deterministic for tests: minutes since the pack was connected.
    void setElapsedMinutes(double minutes);

private:
    double minutes() const;

    QElapsedTimer m_clock;
    double m_offsetMinutes = 0;
    std::mt19937 m_noise{12345};
};

} // namespace quarvel::sim
