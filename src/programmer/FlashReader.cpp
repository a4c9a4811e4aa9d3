#include "programmer/FlashReader.h"

#include "programmer/BootLoaderLink.h"
#include "programmer/FlashPage.h"

namespace quarvel {

FlashReader::Result FlashReader::read(const Progress& progress)
{
    Result result;
    result.bytes.reserve(kApplicationBytes);
    m_link.emptyReceiveBuffer();
    if (!m_link.setWordAddress(0)) {
        result.error = m_link.failureMessage();
        return result;
    }
    for (int address = 0; address < kApplicationBytes; address += 2) {
        const auto word = m_link.readWord(); // the loader moves on a word after each
        if (!word) {
            result.error = m_link.failureMessage();
            return result;
        }
        result.bytes.append(static_cast<char>(*word & 0xFF)).append(static_cast<char>(*word >> 8));
        if (progress)
            progress(address);
    }
    while (!result.bytes.isEmpty() && static_cast<quint8>(result.bytes.back()) == 0xFF)
        result.bytes.chop(1);
    result.completed = true;
    return result;
}

} // namespace quarvel
