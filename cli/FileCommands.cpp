// pilewave-cli save / merge / save-checked: writing project files.
#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "core/CoreMessages.h"
#include "core/WriteErrorText.h"

namespace pw::cli {
namespace {

// error and nErrno: what the atomic write of out gave back.
void WriteOrExit(const std::string& out, const std::string& error, int nErrno) {
    if (!error.empty()) {
        std::fprintf(stderr, "%s%s (%s)\n", msg::kSaveFailed, WriteErrorReason(nErrno).c_str(), error.c_str());
        Exit(1);
    }
    std::printf("wrote %s\n", out.c_str());
}

} // namespace

void AddFileCommands(CLI::App& app) {
    {
        auto* cmd = app.add_subcommand("save", "Read a project file or tester folder and write it as a version-3 project");
        auto path = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
        cmd->add_option("-o,--output", *out, "the version-3 project file to write")->required();
        cmd->callback([path, out] {
            CLoaded loaded = LoadAnyPath(*path);
            ReportOrExit(*path, loaded.m_Report);
            int nErrno = 0;
            const std::string error = SaveProjectFile(*out, loaded.m_Data.m_Header, loaded.m_Data.m_Piles, &nErrno,
                                                    loaded.m_Data.m_UnknownSections);
            WriteOrExit(*out, error, nErrno);
        });
    }
    {
        auto* cmd = app.add_subcommand("merge", "Merge two project files (any versions) into one version-3 project");
        auto file1 = std::make_shared<std::string>();
        auto file2 = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        cmd->add_option("FILE1", *file1, "first project file: its records come first, its texts are kept")->required();
        cmd->add_option("FILE2", *file2, "second project file")->required();
        cmd->add_option("-o,--output", *out, "the merged project file to write")->required();
        cmd->callback([file1, file2, out] {
            CProjectData merged;
            const CReadReport report = MergeProjectFiles(*file1, *file2, merged);
            for (const auto& note : report.m_Notes) std::fprintf(stderr, "note: %s\n", note.c_str());
            if (!report.m_bOk) {
                std::fprintf(stderr, "%s\n", report.m_strError.c_str());
                Exit(1);
            }
            int nErrno = 0;
            const std::string error = SaveProjectFile(*out, merged.m_Header, merged.m_Piles, &nErrno);
            WriteOrExit(*out, error, nErrno);
        });
    }
    {
        auto* cmd = app.add_subcommand("save-checked", "Write the given piles in the checked-piles (ZOV01) layout");
        auto path = std::make_shared<std::string>();
        auto piles = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
        cmd->add_option("--piles", *piles, "pile numbers in list order, such as 1,3")->required();
        cmd->add_option("-o,--output", *out, "the file to write")->required();
        cmd->callback([path, piles, out] {
            CLoaded loaded = LoadAnyPath(*path);
            ReportOrExit(*path, loaded.m_Report);
            const std::vector<int> numbers = ParsePileList(*piles);
            std::vector<int> present;
            for (int no : numbers) {
                bool found = false;
                for (const auto& rec : loaded.m_Data.m_Piles) found = found || rec.m_nPileNo == no;
                if (found)
                    present.push_back(no);
                else
                    std::fprintf(stderr, "note: there is no pile %d\n", no);
            }
            if (present.empty()) {
                // Nothing to save: say so and leave no empty file behind.
                std::fprintf(stderr, "%s\n", msg::kNothingChecked);
                Exit(1);
            }
            int nErrno = 0;
            const std::string error = WriteFileAtomically(
                *out,
                [&](CByteSink& sink) {
                    return WriteCheckedPiles(sink, loaded.m_Data.m_Header, loaded.m_Data.m_Piles, present);
                },
                &nErrno);
            WriteOrExit(*out, error, nErrno);
        });
    }
}

} // namespace pw::cli
