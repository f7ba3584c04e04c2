// Fuzz target: the report settings reader. Data without the marker is refused and leaves the record
// alone; with it, the texts end inside their blocks, the dialog's fields take what was read (a
// pouring date that is no date is not taken), and the record they make reads back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/ReportSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::CMemorySource src(data, size);
    pw::CReportSettings s;
    std::memset(s.m_szReportNo, 'x', sizeof s.m_szReportNo);
    const bool ours = pw::ReadReportSettings(src, s);
    const bool marked =
        size >= 20 && std::memcmp(data, pw::kReportMarker, 20) == 0 && (size == 20 || data[20] == 0);
    if (ours != marked) std::abort();
    if (!ours) {
        if (s.m_szReportNo[0] != 'x') std::abort();
        return 0;
    }
    if (!std::memchr(s.m_szGeology, 0, sizeof s.m_szGeology) || !std::memchr(s.m_szStrength, 0, 200))
        std::abort();
    pw::CReportInfo info;
    info.TakeSettings(s);
    if (!info.m_PourDate.IsValid()) std::abort();
    // Bytes that are not GBK came back as U+FFFD and go out as '?': compare from the record the
    // fields make.
    const pw::CReportSettings out = info.ToSettings();
    pw::CMemorySink sink;
    if (!pw::WriteReportSettings(sink, out) || sink.m_Bytes.size() != pw::kReportSettingsSize) std::abort();
    pw::CMemorySource again(sink.m_Bytes);
    pw::CReportSettings back;
    if (!pw::ReadReportSettings(again, back) || std::memcmp(&back, &out, sizeof out) != 0) std::abort();
    return 0;
}
