// Without the Qt parts (a build with PILEWAVE_GUI off) there is nothing to draw the pictures with.
#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/ReportCommands.h"

namespace pw::cli {

report::CParallelPictures MakePictureSource(const std::vector<CPileRecord>&, const std::string&) {
    report::CParallelPictures pictures;
    pictures.nThreads = 1;
    pictures.Source = [](int, report::CPicture&) {
        std::fprintf(stderr, "this pilewave-cli was built without the Qt parts and cannot draw pictures\n");
        return false;
    };
    return pictures;
}

// print and picture draw with Qt: without it they are not offered, and the report (text and tables
// only) is a verb of pilewave-cli itself.
void AddDrawingCommands(CLI::App& app, int, char**) { AddReportCommands(app); }

} // namespace pw::cli
