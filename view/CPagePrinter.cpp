// Drawing of the printed pages (see CPagePrinter.h).
#include "view/CPagePrinter.h"

#include <cmath>
#include <optional>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QIODevice>
#include <QPdfWriter>

#include "core/CByteSource.h"
#include "core/CDEVAzazDoc.h"
#include "core/PictureFiles.h"
#include "core/TraceProcessing.h"
#include "core/WriteErrorText.h"
#include "view/CPlotFonts.h"
#include "view/CSpectrumPlotter.h"
#include "view/CTracePlotter.h"
#include "view/CellLayout.h"
#include "view/ViewTexts.h"

namespace pw {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTrueTwipsPerMm = kTwipsPerInch / 25.4; // pens and dots: real millimetres
constexpr int kPdfDpi = 1200;
constexpr int kSpectrumBinWidth = 5;

const CPlotFonts& Fonts() {
    static const CPlotFonts fonts;
    return fonts;
}

// "Arial" 10 point on a device of the given resolution.
QFont PageFont(double dpiY) {
    QFont f = MakeFaceFont(kFaceArial);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(10.0 * dpiY / 72.0))));
    return f;
}

// Text in device pixels (a page whose y axis points up would mirror it otherwise).
void DeviceText(QPainter& painter, const QRectF& rect, int flags, const QString& text) {
    painter.save();
    painter.resetTransform();
    painter.setPen(kColorBlack);
    painter.drawText(rect, flags | Qt::TextSingleLine | Qt::TextDontClip, text);
    painter.restore();
}

QRectF DeviceRect(const QTransform& t, int left, int top, int right, int bottom) {
    return QRectF(t.map(QPointF(left, top)), t.map(QPointF(right, bottom))).normalized();
}

void BandText(QPainter& painter, const QTransform& t, const CBand& band, BandAlign align,
              const QString& text) {
    const int h = align == BandAlign::Left    ? Qt::AlignLeft
                  : align == BandAlign::Right ? Qt::AlignRight
                                              : Qt::AlignHCenter;
    DeviceText(painter, DeviceRect(t, band.nLeft, band.nTop, band.nRight, band.nBottom), h | Qt::AlignVCenter,
               text);
}

void BandLine(QPainter& painter, const CBand& band, int y) {
    painter.setPen(QPen(kColorBlack, 15, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(band.nLeft, y, band.nRight, y);
}

// The PDF writer's output device over core's byte sink: the PDF streams into the safe write's
// temporary file, whose write errors the sink keeps.
class CSinkDevice final : public QIODevice {
public:
    explicit CSinkDevice(CByteSink& sink) : m_Sink(sink) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override {
        return m_Sink.Write(data, static_cast<std::size_t>(n)) ? n : -1;
    }

private:
    CByteSink& m_Sink;
};

} // namespace

CPrintJob MakePrintJob(const CDEVAzazDoc& doc, const CPrintSettings& settings, CDate today) {
    CPrintJob job;
    for (const int index : PrintedPiles(doc.m_Piles, doc.m_nSelection))
        job.m_Piles.push_back(doc.m_Piles[static_cast<std::size_t>(index)]);
    job.m_Settings = settings;
    job.m_strTitle = doc.m_strTitle;
    job.m_strTestUnit = doc.m_Header.GetTestUnit();
    job.m_strSiteName = doc.m_Header.GetProjectName();
    job.m_Today = today;
    job.m_Options = CellOptionsOf(doc);
    return job;
}

CCellOptions CellOptionsOf(const CDEVAzazDoc& doc) {
    CCellOptions o;
    o.nPolarity = doc.m_Display.m_bInvert ? -1 : 1;
    o.bVariableArea = doc.m_Display.m_bVariableArea != 0;
    o.bScaleMarks = doc.m_bScale != 0;
    return o;
}

void DrawPrintedCell(CPlotCanvas& canvas, int x, int y, int w, int h, const CPileRecord& rec,
                     const CPrintSettings& settings, const CCellOptions& options, int visibleH) {
    // The trace is drawn from a copy at the step that shows the whole pile in its box; the record
    // keeps its own.
    const CCellLayout cell = LayoutPrintedCell(canvas, w, h, rec, settings, options.bScaleMarks, visibleH);
    const TraceBox box{x, y, cell.nTraceColumns, h};
    TraceOptions opt;
    opt.nPolarity = options.nPolarity;
    opt.bVariableArea = options.bVariableArea;
    opt.bScaleMarks = options.bScaleMarks;
    CTracePlotter plotter(canvas);
    plotter.PlotTrace(box, cell.Drawn, ProcessedTrace(cell.Drawn), opt);
    plotter.DrawMarks(box, cell.Drawn, opt, cell.Labels);

    const PlotScale& sc = canvas.Scale();
    const int down = sc.nY < 0 ? -1 : 1;
    canvas.Frame(x + cell.InfoBox.left(), y, cell.InfoBox.width(), h * sc.nY);
    for (const CPlacedText& line : cell.Info.m_Lines)
        canvas.Text(x + line.At.x(), y + down * line.At.y(), line.strText, kTextLegend, line.nHeight);
}

CPagePrinter::CPagePrinter(CPrintJob job)
    : m_pJob(std::make_shared<const CPrintJob>(std::move(job))), m_Grid(MakePageGrid(m_pJob->m_Settings)),
      m_nPages(pw::PageCount(m_Grid, static_cast<int>(m_pJob->m_Piles.size()))) {}

void CPagePrinter::ConfigureDevice(QPagedPaintDevice& device) const {
    const bool landscape = m_Grid.nPaperW > m_Grid.nPaperH;
    const QSizeF portrait =
        landscape ? QSizeF(m_Grid.nPaperH, m_Grid.nPaperW) : QSizeF(m_Grid.nPaperW, m_Grid.nPaperH);
    device.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF()));
}

void CPagePrinter::DrawPage(QPainter& painter, int page, double dpiX, double dpiY) const {
    const CPageGrid& g = m_Grid;
    const CPrintJob& job = *m_pJob;
    const CPrintSettings& s = job.m_Settings;
    painter.save();
    // Twips with y pointing up: the page's top edge is y = 0.
    const QTransform t = QTransform::fromScale(dpiX / kTwipsPerInch, -dpiY / kTwipsPerInch);
    painter.setWorldTransform(t);
    painter.setFont(PageFont(dpiY));

    if (s.m_bHeader) {
        const CBand band = HeaderBand(g);
        BandText(painter, t, band, BandAlign::Centre,
                 QString::fromStdString(PrintedBandText(s.GetHeader(), job.m_strTestUnit)));
        BandLine(painter, band, band.nBottom);
    }
    if (s.m_bFooter) {
        const CBand band = FooterBand(g);
        BandText(painter, t, band, BandAlign::Centre,
                 QString::fromStdString(PrintedBandText(s.GetFooter(), job.m_strTestUnit)));
        BandLine(painter, band, band.nTop);
    }
    CBand band;
    BandAlign align = BandAlign::Right;
    if (PageNumberPlace(g, s.m_nPagePosition, band, align)) {
        const std::string number =
            PageNumberText(s.m_nPageFormat, PrintedPageTotal(s, m_nPages), s.m_nStartPage + page - 1);
        BandText(painter, t, band, align, QString::fromStdString(number));
    }

    const std::vector<CPageCell> cells = PageCells(g, static_cast<int>(job.m_Piles.size()), page);
    if (!cells.empty()) {
        CPlotCanvas canvas(painter, Fonts(), PlotScale{g.nScale, g.nScale, -g.nScale}, false);
        canvas.SetPaperGrid(g.nColumns, g.nRows);
        canvas.SetPaperUnits(kTrueTwipsPerMm);
        canvas.Frame(g.Left(), g.Top(), g.nPrintW, -kHeadingHeight);
        for (const CPageText& line :
             HeadingLines(g, s, job.m_strTestUnit, job.m_strTitle, job.m_strSiteName, job.m_Today)) {
            const QPointF at = t.map(QPointF(line.nX, line.nY));
            DeviceText(painter, QRectF(at, QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(line.strText));
        }
        const int w = g.nCellW / g.nScale;
        const int h = static_cast<int>(std::fabs(g.fRowH / -g.nScale));
        for (const CPageCell& c : cells) {
            const CPileRecord& rec = job.m_Piles[static_cast<std::size_t>(c.nItem)];
            if (!c.bSpectrum) {
                DrawPrintedCell(canvas, c.nX, c.nY, w, h, rec, s, job.m_Options);
            } else {
                std::optional<CPileRecord> scratch;
                const CPileRecord& shown = ShownRecord(rec, scratch);
                CSpectrumPlotter(canvas).Draw(TraceBox{c.nX, c.nY, w, h}, shown, ProcessedTrace(shown), 0,
                                              kSpectrumBinWidth, job.m_bPreview ? kTextVertical : kTextVerticalUp);
            }
        }
    }
    painter.restore();
}

bool CPagePrinter::PrintPages(QPagedPaintDevice& device, int from, int to,
                              CProgressReporter* pProgress) const {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    from = std::max(from, 1);
    to = std::min(to, m_nPages);
    const double dpiX = device.logicalDpiX(), dpiY = device.logicalDpiY();
    if (pProgress) pProgress->SetTotal(to - from + 1);
    for (int p = from; p <= to; ++p) {
        if (pProgress && pProgress->IsCancelled()) {
            painter.end();
            return false;
        }
        if (p > from) device.newPage();
        DrawPage(painter, p, dpiX, dpiY);
        if (pProgress) pProgress->Advance();
    }
    return painter.end();
}

CResult WritePrintPdf(const CPrintJob& job, const std::string& path, CProgressReporter* pProgress) {
    const CPagePrinter printer(job);
    if (printer.PageCount() == 0)
        return CResult::Failure(EResultCode::Refused, vtext::kPdfNotDrawn, "no pile to print");
    bool drawn = false;
    int nErrno = 0;
    const std::string written = WriteFileAtomically(
        path,
        [&](CByteSink& sink) {
            CSinkDevice device(sink);
            QPdfWriter pdf(&device);
            pdf.setResolution(kPdfDpi);
            pdf.setTitle(QString::fromStdString(job.m_strTitle));
            pdf.setCreator(QStringLiteral("pilewave"));
            printer.ConfigureDevice(pdf);
            drawn = printer.PrintPages(pdf, 1, printer.PageCount(), pProgress);
            return drawn;
        },
        &nErrno);
    if (written.empty()) return CResult::Success();
    if (pProgress && pProgress->IsCancelled()) return CResult::Cancel();
    if (nErrno) return CResult::Failure(EResultCode::WriteFailed, WriteErrorReason(nErrno), written);
    if (drawn) return CResult::Failure(EResultCode::WriteFailed, vtext::kFileNotWritten, written);
    return CResult::Failure(EResultCode::Failed, vtext::kPdfNotDrawn, "the PDF could not be drawn");
}

} // namespace pw
