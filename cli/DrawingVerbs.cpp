// print, picture and report in pilewave-cli: handed over whole to the drawing program, so that only
// the verbs that draw load the GUI toolkit (it doubles what every start of the CLI maps).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "cli/CliCommands.h"

namespace pw::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDrawingProgram = "pilewave-cli-draw";

// Beside this program in the build tree; in libexec next to bin in an installed tree.
fs::path FindDrawingProgram() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const fs::path folder = ec ? fs::path(".") : exe.parent_path();
    const fs::path installed = (folder / PILEWAVE_DRAW_FROM_BIN / kDrawingProgram).lexically_normal();
    for (const fs::path& candidate : {folder / kDrawingProgram, installed})
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    return installed; // named in the message
}

// The drawing program reads the same command line: same verbs, same options, same messages and exit
// codes, as if this process had drawn itself.
[[noreturn]] void HandOver(int argc, char** argv) {
    const fs::path program = FindDrawingProgram();
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(program.c_str(), args.data());
    const char* reason = std::strerror(errno);
    std::fprintf(stderr,
                 "无法启动绘图程序 %s：%s\n"
                 "(cannot start the drawing program %s: %s; print, picture and report need it, and it is "
                 "installed with pilewave-cli)\n",
                 program.c_str(), reason, program.c_str(), reason);
    Exit(1);
}

} // namespace

void AddDrawingCommands(CLI::App& app, int argc, char** argv) {
    struct SVerb {
        const char* szName;
        const char* szText;
    };
    static constexpr SVerb kVerbs[] = {
        {"report", "The inspection report of the reported piles as a .docx"},
        {"print", "The printed pages of the ticked (or named) piles as a PDF"},
        {"picture", "Pictures of piles as .bmp or .png, one file or one per pile"},
    };
    for (const SVerb& verb : kVerbs) {
        auto* cmd = app.add_subcommand(verb.szName, verb.szText);
        // Everything after the verb, --help included, is the drawing program's to read.
        cmd->prefix_command();
        cmd->set_help_flag();
        cmd->callback([argc, argv] { HandOver(argc, argv); });
    }
}

} // namespace pw::cli
