#include "link/CommandFraming.h"
#include "link/DeviceDiscovery.h"

#include "link/SerialLink.h"

namespace quarvel {

QString identifyQuarvel(SerialLink& link)
{
    for (int attempt = 0; attempt < kMaxIdentifyAttempts; ++attempt) {
        const QString answer = link.getValue(kInstrumentAddress, kIdentifyCode);
        if (answer.contains(kIdentityMark))
            return answer;
    }
    return {};
}

} // namespace quarvel
