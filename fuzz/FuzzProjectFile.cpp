// Fuzz target: the project-file reader, with the block after the records. Whatever the reader keeps
// (class decisions, sections of tags it does not know) must survive a version-3 write and a second
// read unchanged. What the window does with one record it read is the pile_record
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
    if (!pw::WriteProject(written, first.m_Header, first.m_Piles, first.m_UnknownSections)) std::abort();
    pw::CMemorySource again(written.m_Bytes);
    pw::CProjectData second;
    if (!pw::ReadProject(again, second).m_bOk || second.m_Piles.size() != first.m_Piles.size()) std::abort();
    if (second.m_UnknownSections != first.m_UnknownSections) std::abort();
    for (std::size_t i = 0; i < first.m_Piles.size(); ++i)
        if (second.m_Piles[i].m_nClassDecision != first.m_Piles[i].m_nClassDecision) std::abort();
    pw::CMemorySink rewritten;
    pw::WriteProject(rewritten, second.m_Header, second.m_Piles, second.m_UnknownSections);
    if (rewritten.m_Bytes != written.m_Bytes) std::abort();
    return 0;
}
