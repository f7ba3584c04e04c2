// The printed pages: the cells of the printed piles with their information boxes, the heading block,
// header, footer and page number, drawn in twips onto a printer, the print preview or a PDF; and the
// printed cell alone, which the picture export draws too. Drawing reads the records and never changes
// them: every cell is drawn from a copy, at the step fitted to its trace box.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPainter>

#include "core/CDate.h"
#include "core/CPileRecord.h"
#include "core/CProgressReporter.h"
#include "core/CResult.h"
#include "core/PageLayout.h"
#include "core/PrintSettings.h"
#include "view/CPlotCanvas.h"

class QPagedPaintDevice;

namespace pw {

class CDEVAzazDoc;

// How the traces look: the project's display options.
struct CCellOptions {
    int nPolarity = 1;
    bool bVariableArea = false;
    bool bScaleMarks = true;
};

// The project's display options as the cells use them.
CCellOptions CellOptionsOf(const CDEVAzazDoc& doc);

// Everything a print job needs, copied out of the project so the pages can be drawn later (the
// preview redraws them whenever it likes) without touching it.
struct CPrintJob {
    std::vector<CPileRecord> m_Piles; // the printed piles, in print order
    CPrintSettings m_Settings;
    std::string m_strTitle;    // the document title ("文件名")
    std::string m_strTestUnit; // "检测单位名称"
    std::string m_strSiteName; // "工地名"
    CDate m_Today;
    CCellOptions m_Options;
    bool m_bPreview = false; // preview writes the spectrum marks' labels the other way round
};

// The job of the project's printed piles (ticked ones, else the selected ones, in list order).
CPrintJob MakePrintJob(const CDEVAzazDoc& doc, const CPrintSettings& settings, CDate today);

// The printed cell of a pile at (x, y), w x h plot units, with the canvas's scales: the trace box with
// head/toe marks, defects and the depth scale, drawn from a copy of the record at the step that shows
// the whole pile in the box, and the information box to its right (a fifth of the cell, or what its
// lines need), every text placed by measuring it (see CellLayout.h). visibleH: only that much of the
// cell's height (logical units) shows, and its texts go there (-1: all of it).
void DrawPrintedCell(CPlotCanvas& canvas, int x, int y, int w, int h, const CPileRecord& rec,
                     const CPrintSettings& settings, const CCellOptions& options, int visibleH = -1);

class CPagePrinter {
public:
    // The printer keeps the job (shared by its copies): built from a temporary it stays whole.
    explicit CPagePrinter(CPrintJob job);

    const CPageGrid& Grid() const { return m_Grid; }
    int PageCount() const { return m_nPages; }

    // Sets the device's paper to the settings' size, without margins: the page's origin is the
    // paper's top left corner.
    void ConfigureDevice(QPagedPaintDevice& device) const;

    // Draws page p (1-based) with the painter's origin at the paper's top left; dpi of the device.
    void DrawPage(QPainter& painter, int page, double dpiX, double dpiY) const;

    // Pages from..to (1-based, inclusive) onto a configured device, a new sheet for each after the
    // first, one progress step per page. False when the painter could not start or the user asked
    // the progress to stop (pProgress->IsCancelled() tells which).
    bool PrintPages(QPagedPaintDevice& device, int from, int to,
                    CProgressReporter* pProgress = nullptr) const;

private:
    std::shared_ptr<const CPrintJob> m_pJob;
    CPageGrid m_Grid;
    int m_nPages = 0;
};

// All pages as a PDF at 1200 dpi, saved by core's safe write (beside path, flushed to disk, renamed
// over it only when complete): Ok, Cancelled when the progress stopped it (nothing written), or why
// not (WriteFailed or Failed) with the Chinese sentence and the English detail.
CResult WritePrintPdf(const CPrintJob& job, const std::string& path, CProgressReporter* pProgress = nullptr);

} // namespace pw
