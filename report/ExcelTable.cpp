// libxlsxwriter writes the workbook by its file name: into core's safe write's temporary beside the
// target, which is flushed to disk and renamed over it when complete.
#include "report/ExcelTable.h"

#include <cerrno>

#include <xlsxwriter.h>

#include "core/SafeWriteByName.h"
#include "core/ReportContent.h"
#include "core/WriteErrorText.h"
#include "report/ReportTexts.h"

namespace pw::report {

CResult WriteExcelTable(const std::string& outPath, const std::vector<CPileRecord>& piles,
                        const std::vector<int>& pileIndices) {
    std::string libraryError;
    const auto body = [&](const std::string& tmp, int& nErrno) {
        errno = 0;
        lxw_workbook* book = workbook_new(tmp.c_str());
        if (!book) {
            nErrno = errno;
            libraryError = "the workbook cannot be started";
            return false;
        }
        lxw_worksheet* sheet = workbook_add_worksheet(book, "报表1");
        const auto header = SheetHeader();
        for (int col = 0; col < 6; ++col)
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(col),
                                   header[static_cast<std::size_t>(col)].c_str(), nullptr);
        static const double kWidths[6] = {6, 12, 7, 9, 12, 15};
        for (int col = 0; col < 6; ++col)
            worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), kWidths[col],
                                 nullptr);
        lxw_row_t row = 1;
        for (int index : pileIndices) {
            if (index < 0 || index >= static_cast<int>(piles.size())) continue;
            const CReportRow r = SheetRow(piles[static_cast<std::size_t>(index)]);
            for (int col = 0; col < 6; ++col)
                worksheet_write_string(sheet, row, static_cast<lxw_col_t>(col),
                                       r.m_Cells[static_cast<std::size_t>(col)].c_str(), nullptr);
            ++row;
        }
        errno = 0;
        const lxw_error error = workbook_close(book);
        if (error == LXW_NO_ERROR) return true;
        nErrno = errno; // the file operation behind the library's error, when there was one
        libraryError = lxw_strerror(error);
        return false;
    };
    int nErrno = 0;
    const std::string written = WriteFileAtomicallyByName(outPath, body, &nErrno);
    if (written.empty()) return CResult::Success();
    return CResult::Failure(EResultCode::WriteFailed, nErrno ? WriteErrorReason(nErrno) : rtext::kNotWritten,
                            libraryError.empty() ? written : written + " (" + libraryError + ")");
}

} // namespace pw::report
