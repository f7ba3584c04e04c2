// Without the Qt parts (a build with PILEWAVE_GUI off) there is nothing to draw the pictures with.
#include <cstdio>

#include "cli/ReportCommands.h"

namespace pw::cli {

report::PictureSource MakePictureSource(std::vector<CPileRecord>&, const std::string&) {
    return [](int, report::CPicture&) {
        std::fprintf(stderr, "this pilewave-cli was built without the Qt parts and cannot draw pictures\n");
        return false;
    };
}

// print and picture draw with Qt: without it the verbs are not offered.
void AddPrintCommands(CLI::App&) {}

} // namespace pw::cli
