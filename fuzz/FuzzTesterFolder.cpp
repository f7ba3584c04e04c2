// Fuzz target: the tester-folder reader. The input is cut into "idindx.par" (its first 44 bytes)
// and per-pile files of 4296 bytes, 1.wvf, 2.wvf, ...; the last one may be short.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/TesterFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::CMemoryFolder folder;
    const size_t index = size < 44 ? size : 44;
    folder.m_Files["idindx.par"].assign(data, data + index);
    int n = 1;
    for (size_t at = index; at < size; at += 4296, ++n) {
        const size_t len = size - at < 4296 ? size - at : 4296;
        folder.m_Files[std::to_string(n) + ".wvf"].assign(data + at, data + at + len);
    }
    // The records are large (20 KiB) and an index may count 500 of them: keep the storage from input
    // to input instead of taking and zeroing 10 MiB of fresh pages each time. The reader clears
    // what it is given, so nothing of the previous input survives.
    static pw::CProjectData out;
    pw::LoadFolder(folder, out);
    if (out.m_Piles.size() > static_cast<size_t>(pw::kMaxPiles) ||
        out.m_Header.m_nPileCount != static_cast<int>(out.m_Piles.size()))
        std::abort();
    for (size_t i = 0; i < out.m_Piles.size(); ++i)
        if (out.m_Piles[i].m_nPileNo != static_cast<int>(i + 1)) std::abort();
    return 0;
}
