// Arbitrary boot-loader replies: the counted exchanges of reading, erasing and writing, and the
// identification replies. Nothing may read past a reply or take a short reply as an answer.
#include "FuzzPort.h"
#include "programmer/BootLoaderLink.h"
#include "programmer/FlashPage.h"
#include "programmer/LoaderReplies.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char letter : {'S', 'V', 'v', 'r', 'F'}) {
        const auto text = quarvel::loaderreply::textAfterEcho(bytes, letter);
        if (text && text->size() != bytes.size() - 1)
            __builtin_trap();
        const auto bits = quarvel::loaderreply::bitsAfterEcho(bytes, letter);
        if (bits && (bits->isEmpty() || bits->size() > 2))
            __builtin_trap();
    }
    if (quarvel::loaderreply::signatureBytes(bytes).size() > 3)
        __builtin_trap();

    // The same bytes as the loader's side of a session; no wait, so a missing byte is a time-out.
    FuzzPort port(bytes);
    quarvel::BootLoaderLink link(port, quarvel::ProgrammerTiming{0});
    quarvel::FlashPage page;
    page.address = 0x100;
    page.data = QByteArray(quarvel::kFlashPageBytes, '\x5a');
    for (int round = 0; round < 64 && !port.exhausted(); ++round) {
        switch (round % 5) {
        case 0: (void)link.setWordAddress(round); break;
        case 1: (void)link.readWord(); break;
        case 2: (void)link.erase(); break;
        case 3: (void)link.writePage(page); break;
        default: (void)link.writeFuseBits(0x8f); (void)link.writeLockBits(0xec); break;
        }
        (void)link.failureMessage();
    }
    return 0;
}
