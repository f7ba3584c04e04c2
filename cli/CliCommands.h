// Verb registration of pilewave-cli: each group of verbs adds its subcommands to the app.
#pragma once

#include <CLI/CLI.hpp>

namespace pw::cli {

void AddInfoCommand(CLI::App& app);
void AddCheckCommand(CLI::App& app);
void AddFileCommands(CLI::App& app);
void AddTraceCommands(CLI::App& app);
void AddSimulateCommand(CLI::App& app);
void AddApplyCommand(CLI::App& app);
void AddSiteSpeedCommand(CLI::App& app);
void AddTableCommand(CLI::App& app);
// print, picture and report. They draw with the GUI toolkit, which the other verbs never load: here
// they hand the whole command line (argv) over to the drawing program, pilewave-cli-draw.
void AddDrawingCommands(CLI::App& app, int argc, char** argv);

// Ends the running verb with an exit code (CLI11 returns it from main without printing).
[[noreturn]] inline void Exit(int code) { throw CLI::RuntimeError(code); }

} // namespace pw::cli
