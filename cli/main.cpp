// pilewave-cli: the command-line twin of the window, for scripts, batch work and checks.
#include <clocale>

#include "cli/CliCommands.h"
#include "cli/LinkCommands.h"
#include "PilewaveVersion.h"

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "C");
    CLI::App app{"pilewave-cli: pile records and project files of the reflected-wave pile tester"};
    app.set_version_flag("--version", std::string("pilewave-cli ") + PILEWAVE_VERSION);
    app.require_subcommand(1);
    pw::cli::AddInfoCommand(app);
    pw::cli::AddCheckCommand(app);
    pw::cli::AddFileCommands(app);
    pw::cli::AddTraceCommands(app);
    pw::cli::AddSimulateCommand(app);
    pw::cli::AddApplyCommand(app);
    pw::cli::AddLinkCommands(app);
    pw::cli::AddTableCommand(app);
    pw::cli::AddDrawingCommands(app, argc, argv);
    pw::cli::AddSiteSpeedCommand(app);
    CLI11_PARSE(app, argc, argv);
    return 0;
}
