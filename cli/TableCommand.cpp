// pilewave-cli table: the results table of the ticked piles (or of the piles named) as a workbook.
#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "core/ReportContent.h"
#include "report/ExcelTable.h"

namespace pw::cli {

void AddTableCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("table", "The results table of the reported piles as a .xlsx (sheet 报表1)");
    auto path = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto choice = std::make_shared<CPileChoice>();
    cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
    auto* piles = cmd->add_option("--piles", choice->m_strPiles, "report these piles (numbers such as 1,3)");
    cmd->add_flag("--checked", choice->m_bChecked, "report the ticked piles (the default)")->excludes(piles);
    cmd->add_option("-o,--output", *out, "the .xlsx to write")->required();
    cmd->callback([path, out, choice] {
        CLoaded loaded = LoadWithTicks(*path, *choice);
        const std::vector<int> rows = TickedPilesInNameOrder(loaded.m_Data.m_Piles);
        if (const std::string error = report::WriteExcelTable(*out, loaded.m_Data.m_Piles, rows); !error.empty()) {
            std::fprintf(stderr, "写文件失败 (%s)\n", error.c_str());
            Exit(1);
        }
        std::printf("wrote %s (%zu piles)\n", out->c_str(), rows.size());
    });
}

} // namespace pw::cli
