// Fuzz target: names and lists that come from the tester. An announced file name is either refused
// or reduced to a plain name that cannot leave the destination folder; the site list reader takes
// any bytes (from memory here).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/TesterConversion.h"
#include "link/TesterFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string announced(reinterpret_cast<const char*>(data), size);
    std::string plain;
    if (pw::ReducePlainFileName(announced, plain)) {
        if (plain.empty() || plain == "." || plain == ".." || plain.size() > 255 || pw::IsDeviceName(plain)) std::abort();
        for (unsigned char c : plain)
            if (c < 0x20 || c == '/' || c == 0x7F) std::abort();
        // A backslash may only be the second byte of a two-byte character, never a separator.
        if (pw::SplitTesterPath(plain).size() != 1) std::abort();
    }
    std::string drive;
    pw::SplitTesterPath(announced, &drive);
    pw::TesterBaseName(announced);

    pw::CMemorySource list(data, size);
    std::vector<std::string> sites;
    pw::ReadSiteList(list, sites);
    for (const auto& s : sites)
        if (s.size() > 47) std::abort();
    return 0;
}
