// libxlsxwriter writes the workbook by its file name: into core's safe write's temporary beside the
// target, which is flushed to disk and renamed over it when complete.
#include "report/ExcelTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <xlsxwriter.h>

#include "core/GbkText.h"
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
        // Ruled cells, a bold header; diameter, length and speed are numbers shown as 0, 0.00 and 0
        // (a spreadsheet sums them), the pile number, class and defects text ("007" stays "007").
        auto format = [book](const char* numFormat, bool bold) {
            lxw_format* f = workbook_add_format(book);
            format_set_border(f, LXW_BORDER_THIN);
            format_set_font_name(f, "宋体");
            if (bold) format_set_bold(f);
            if (numFormat) format_set_num_format(f, numFormat);
            return f;
        };
        lxw_format* headerFormat = format(nullptr, true);
        lxw_format* textFormat = format("@", false);
        lxw_format* numberFormats[6] = {nullptr, format("0", false), format("0.00", false), format("0", false), nullptr,
                                        nullptr};
        const auto header = SheetHeader();
        for (int col = 0; col < 6; ++col)
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(col),
                                   header[static_cast<std::size_t>(col)].c_str(), headerFormat);
        worksheet_repeat_rows(sheet, 0, 0);  // the header on every printed page
        worksheet_fit_to_pages(sheet, 1, 0); // as wide as one page, as long as it takes
        // Each column at least as wide as its longest text (a pile with several defects lists them
        // all in one cell), and never wider than a page can hold: a longer text wraps in its cell.
        static const double kMinWidths[6] = {6, 12, 7, 9, 12, 15};
        constexpr double kMaxWidth = 60;
        std::vector<CReportRow> rows;
        for (int index : pileIndices)
            if (index >= 0 && index < static_cast<int>(piles.size()))
                rows.push_back(SheetRow(piles[static_cast<std::size_t>(index)]));
        for (int col = 0; col < 6; ++col) {
            double width = std::max(kMinWidths[col], TextColumns(header[static_cast<std::size_t>(col)]) + 2.0);
            for (const CReportRow& r : rows)
                width = std::max(width, TextColumns(r.m_Cells[static_cast<std::size_t>(col)]) + 2.0);
            worksheet_set_column(sheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col),
                                 std::min(width, kMaxWidth), nullptr);
        }
        format_set_text_wrap(textFormat);
        lxw_row_t row = 1;
        for (const CReportRow& r : rows) {
            for (int col = 0; col < 6; ++col) {
                const std::string& cell = r.m_Cells[static_cast<std::size_t>(col)];
                const auto c = static_cast<lxw_col_t>(col);
                // The number stored is the decimal shown ("12.30" -> 12.3), not the float behind it.
                char* end = nullptr;
                const double value = numberFormats[col] ? std::strtod(cell.c_str(), &end) : 0.0;
                if (numberFormats[col] && end && *end == '\0' && end != cell.c_str())
                    worksheet_write_number(sheet, row, c, value, numberFormats[col]);
                else
                    worksheet_write_string(sheet, row, c, cell.c_str(), textFormat);
            }
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
