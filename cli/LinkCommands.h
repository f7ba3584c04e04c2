// Verbs of pilewave-cli that talk to the tester: tester serve, transfer, convert-site.
#pragma once

#include <CLI/CLI.hpp>

namespace pw::cli {

void AddLinkCommands(CLI::App& app);

} // namespace pw::cli
