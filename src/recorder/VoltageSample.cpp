#include "recorder/VoltageSample.h"

#include "link/CommandFraming.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "recorder/RecordArithmetic.h"

namespace quarvel {

VoltageSample VoltageSample::read(SerialLink& link)
{
    VoltageSample sample;
    sample.volts = numberOf(link.getValue(kInstrumentAddress, QStringLiteral("RNV")));
    sample.away = !link.port().isOpen();
    return sample;
}

} // namespace quarvel
