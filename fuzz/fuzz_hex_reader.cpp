// Arbitrary file contents through the Intel HEX reader and the page building that follows it.
#include "programmer/FlashPage.h"
#include "programmer/HexFile.h"
#include "programmer/ImageCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const auto mode : {quarvel::HexLoadMode::StopAtInvalid, quarvel::HexLoadMode::ReadAll}) {
        const quarvel::HexLoad load = quarvel::hexRecordsFromBytes(bytes, mode);
        for (const quarvel::HexRecord& r : load.records) {
            if (r.byteCount < 0 || r.address < 0 || r.address > 0xFFFF || r.data.size() > r.byteCount + 1)
                __builtin_trap();
        }
        for (const bool forProgramming : {true, false})
            (void)quarvel::imageRefusal(load.records, forProgramming);
        quarvel::FlashPage page;
        for (int a = 0; a <= quarvel::kLastApplicationByte; a += quarvel::kFlashPageBytes) {
            page.address = a;
            quarvel::fillPage(page, load.records);
            if (page.data.size() != quarvel::kFlashPageBytes)
                __builtin_trap();
        }
    }
    return 0;
}
