// The data folder, relative to the running program.
#include "core/DataFiles.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace pw {

std::string FindDataFile(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> candidates;
    if (const char* dir = std::getenv("PILEWAVE_DATA_DIR"); dir && *dir) candidates.push_back(fs::path(dir) / name);
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        // bin/pilewave -> share/pilewave; in the build tree cli/pilewave-cli and shell/pilewave alike.
        candidates.push_back(exe.parent_path().parent_path() / "share" / "pilewave" / name);
    }
    candidates.push_back(fs::path("/usr/share/pilewave") / name);
    for (const fs::path& p : candidates)
        if (fs::exists(p, ec)) return p.string();
    return candidates.front().string();
}

} // namespace pw
