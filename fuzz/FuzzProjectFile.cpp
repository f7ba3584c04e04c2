// Fuzz target: the project-file reader. Whatever the reader keeps must survive a version-3 write
// and a second read unchanged. What the window does with one record it read is the pile_record
// target's part.
#include <cstdint>
#include <cstdlib>

#include "core/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::CMemorySource src(data, size);
    pw::CProjectData first;
    pw::ReadProject(src, first);
    if (first.m_Header.m_nPileCount != static_cast<int>(first.m_Piles.size())) std::abort();

    pw::CMemorySink written;
    if (!pw::WriteProject(written, first.m_Header, first.m_Piles)) std::abort();
    pw::CMemorySource again(written.m_Bytes);
    pw::CProjectData second;
    if (!pw::ReadProject(again, second).m_bOk || second.m_Piles.size() != first.m_Piles.size()) std::abort();
    pw::CMemorySink rewritten;
    pw::WriteProject(rewritten, second.m_Header, second.m_Piles);
    if (rewritten.m_Bytes != written.m_Bytes) std::abort();
    return 0;
}
