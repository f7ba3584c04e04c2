// Fuzz target: the print settings reader ("set.ini"). Whatever the bytes, the record it hands to
// printing has rows and columns printing can divide by, a positive paper size and finite margins,
// its texts end inside their fields, and writing it and reading it back gives the same record.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/PrintSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::CMemorySource src(data, size);
    pw::CPrintSettings s;
    const std::size_t taken = pw::ReadPrintSettings(src, s);
    if (taken != (size < pw::kPrintSettingsSize ? size : pw::kPrintSettingsSize)) std::abort();
    if (s.m_nColumns < 1 || s.m_nColumns > pw::kMaxColumns || s.m_nRows < 1 || s.m_nRows > pw::MaxRows(2))
        std::abort();
    if (s.m_nPaperHeight <= 0 || s.m_nPaperWidth <= 0) std::abort();
    for (float m : {s.m_fTopMargin, s.m_fBottomMargin, s.m_fLeftMargin, s.m_fRightMargin, s.m_fHeaderMargin,
                    s.m_fFooterMargin})
        if (!std::isfinite(m)) std::abort();
    if (!std::memchr(s.m_szHeader, 0, sizeof s.m_szHeader) ||
        !std::memchr(s.m_szFooter, 0, sizeof s.m_szFooter))
        std::abort();
    pw::CMemorySink sink;
    if (!pw::WritePrintSettings(sink, s) || sink.m_Bytes.size() != pw::kPrintSettingsSize) std::abort();
    pw::CMemorySource again(sink.m_Bytes);
    pw::CPrintSettings back;
    pw::ReadPrintSettings(again, back);
    if (std::memcmp(&back, &s, sizeof s) != 0) std::abort();
    return 0;
}
