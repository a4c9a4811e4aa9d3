#include "DeviceDiscovery.h"

#include "SerialLink.h"

namespace quarvel {

bool findQuarvel(SerialLink& link)
{
    for (int attempt = 0; attempt < kMaxIdentifyAttempts; ++attempt) {
        if (link.getValue(QStringLiteral("1"), kIdentifyCode).contains(kIdentityMark))
            return true;
    }
    return false;
}

} // namespace quarvel
