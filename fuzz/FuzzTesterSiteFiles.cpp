// Fuzz target: converting a tester site folder as the transfer does it, through files on disk: the
// input is cut into "wvf.par" (its first 72 bytes) and record files of 4338 bytes, 1.wvf, 2.wvf,
// ... (the last may be short), written into a folder and converted there. Whatever the files hold,
// the converted project must read back whole, with the count the conversion reports. Slow (every
// input goes through the disk); the tester_site target takes the same input from memory.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/ProjectFile.h"
#include "link/TesterConversion.h"

namespace {

const std::filesystem::path& WorkFolder() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("pw-fuzz-site-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    // Registered after dir is made, so it runs before dir goes away: no folder left in /tmp per run.
    static const bool removed_at_exit = std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(WorkFolder(), error);
    }) == 0;
    (void)removed_at_exit;
    return dir;
}

void Put(const std::filesystem::path& p, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto& dir = WorkFolder();
    for (const auto& entry : std::filesystem::directory_iterator(dir)) std::filesystem::remove(entry.path());
    const size_t header = size < 72 ? size : 72;
    Put(dir / "wvf.par", data, header);
    int n = 1;
    for (size_t at = header; at < size && n <= 16; at += pw::kInstrumentRecordSize, ++n) {
        const size_t len = size - at < pw::kInstrumentRecordSize ? size - at : pw::kInstrumentRecordSize;
        Put(dir / (std::to_string(n) + ".wvf"), data + at, len);
    }
    const std::string target = (dir / "site.wvf").string();
    const pw::CConvertResult result = pw::ConvertFolder(dir.string(), target, nullptr);
    if (!result.Done()) return 0;
    pw::CProjectData project;
    int version = 0;
    const pw::CReadReport report = pw::LoadProjectFile(target, project, &version);
    if (!report.m_bOk || version != 2 || static_cast<int>(project.m_Piles.size()) != result.m_nRecords) std::abort();
    return 0;
}
