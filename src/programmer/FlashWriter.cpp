#include "programmer/FlashWriter.h"

#include "programmer/BootLoaderLink.h"
#include "programmer/FlashPage.h"

namespace quarvel {

FlashWriter::Result FlashWriter::program(const HexRecords& records, const Progress& progress)
{
    Result result;
    FlashPage page;
    for (int a = 0; a <= kLastApplicationByte; a += kFlashPageBytes) {
        page.address = a;
        page.byteCount = kFlashPageBytes;
        if (progress)
            progress(a);
        if (!fillPage(page, records))
            continue;
        if (!m_link.writePage(page)) {
            result.error = m_link.failureMessage();
            return result;
        }
        ++result.pagesWritten;
    }
    result.completed = true;
    return result;
}

} // namespace quarvel
