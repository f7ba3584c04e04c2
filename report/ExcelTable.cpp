// libxlsxwriter writes the workbook into a temporary file beside the target, renamed when complete.
#include "report/ExcelTable.h"

#include <cstdio>
#include <unistd.h>

#include <xlsxwriter.h>

#include "core/ReportContent.h"

namespace pw::report {

std::string WriteExcelTable(const std::string& outPath, const std::vector<CPileRecord>& piles,
                            const std::vector<int>& pileIndices) {
    // The temporary file is hidden beside the target, so the rename stays on one file system.
    const auto slash = outPath.find_last_of('/');
    const std::string tmp = (slash == std::string::npos ? std::string() : outPath.substr(0, slash + 1)) + "." +
                            outPath.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-" +
                            std::to_string(getpid());
    lxw_workbook* book = workbook_new(tmp.c_str());
    if (!book) return "cannot create " + tmp;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "报表1");
    const auto header = SheetHeader();
    for (int col = 0; col < 6; ++col)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(col), header[static_cast<std::size_t>(col)].c_str(),
                               nullptr);
    static const double kWidths[6] = {6, 12, 7, 9, 12, 15};
    for (int col = 0; col < 6; ++col)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), kWidths[col], nullptr);
    lxw_row_t row = 1;
    for (int index : pileIndices) {
        if (index < 0 || index >= static_cast<int>(piles.size())) continue;
        const CReportRow r = SheetRow(piles[static_cast<std::size_t>(index)]);
        for (int col = 0; col < 6; ++col)
            worksheet_write_string(sheet, row, static_cast<lxw_col_t>(col), r.m_Cells[static_cast<std::size_t>(col)].c_str(),
                                   nullptr);
        ++row;
    }
    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR) {
        std::remove(tmp.c_str());
        return "cannot write " + outPath + ": " + lxw_strerror(error);
    }
    if (std::rename(tmp.c_str(), outPath.c_str()) != 0) {
        std::remove(tmp.c_str());
        return "cannot replace " + outPath;
    }
    return {};
}

} // namespace pw::report
