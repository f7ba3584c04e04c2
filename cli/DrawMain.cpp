// pilewave-cli-draw: the verbs of pilewave-cli that draw (report, print, picture). pilewave-cli starts
// it with its own command line for them, so that the other verbs never load the GUI toolkit.
#include <clocale>

#include "cli/CliCommands.h"
#include "cli/ReportCommands.h"
#include "PilewaveVersion.h"

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "C");
    CLI::App app{"pilewave-cli: the verbs that draw (report, print, picture)"};
    app.set_version_flag("--version", std::string("pilewave-cli ") + PILEWAVE_VERSION);
    app.require_subcommand(1);
    pw::cli::AddReportCommands(app);
    pw::cli::AddPrintCommands(app);
    CLI11_PARSE(app, argc, argv);
    return 0;
}
