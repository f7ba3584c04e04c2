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
        const CReportedPiles reported = ReportedPiles(loaded.m_Data.m_Piles);
        // One row per pile: a pile ticked more than once is named, with the records not taken.
        for (int index : reported.m_LeftOut)
            std::fprintf(stderr, "%s: warning: 桩%s的第%d条记录未列入（同一桩号只取最后勾选的一条; left out)\n",
                         path->c_str(), loaded.m_Data.m_Piles[static_cast<std::size_t>(index)].GetPileName().c_str(),
                         index + 1);
        const std::vector<int>& rows = reported.m_Piles;
        if (const CResult written = report::WriteExcelTable(*out, loaded.m_Data.m_Piles, rows); !written.Ok()) {
            std::fprintf(stderr, "%s: 写文件失败：%s\n", out->c_str(), written.CliText().c_str());
            Exit(1);
        }
        std::printf("wrote %s (%zu piles)\n", out->c_str(), rows.size());
    });
}

} // namespace pw::cli
