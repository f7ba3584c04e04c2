// The waveform pane: off-screen picture, scroll sizes, tool input and the cursor readouts.
#include "view/FormalView.h"

#include <algorithm>
#include <cstdio>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "core/CommandIds.h"
#include "dsp/Round1.h"
#include "view/CPlotCanvas.h"
#include "view/ToolCursors.h"
#include "view/TraceGeometry.h"
#include "view/ViewTexts.h"
#include "view/ViewTools.h"

using namespace pw;

namespace {

// The menu command that chooses (and, chosen again, puts away) each tool.
int ToolCommand(int tool) {
    switch (tool) {
    case kToolTranslate:
        return cmd::kToolShift;
    case kToolRotate:
        return cmd::kToolRotate;
    case kToolZoomIn:
        return cmd::kToolZoomIn;
    case kToolZoomOut:
        return cmd::kToolZoomOut;
    case kToolLocalZoom:
        return cmd::kToolLocalZoom;
    default:
        return 0;
    }
}

QString Readout(const char* label, const char* format, double value, bool valid) {
    if (!valid) return QString::fromUtf8(label);
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return QString::fromUtf8(label) + QString::fromUtf8(buf);
}

} // namespace

FormalView::FormalView(CDEVAzazDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_Doc(doc), m_Renderer(doc, m_State, m_Fonts) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // Every paint covers the whole viewport from the picture: no background fill first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_Doc.AddListener(this);
    UpdateScrollRange();
    UpdatePointer();
}

FormalView::~FormalView() {
    m_Doc.RemoveListener(this);
}

void FormalView::OnDocumentChanged(unsigned /*changes*/) {
    UpdateScrollRange();
    UpdatePointer();
    FastRedraw();
}

void FormalView::SetCursorX(int x) {
    m_State.m_nCursorX = x;
    viewport()->update();
}

void FormalView::RenderTo(QPainter& painter, const QRect& area) {
    painter.save();
    painter.translate(area.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), area.size()));
    m_Renderer.Render(painter, area.size(), 0, false);
    painter.restore();
}

void FormalView::FastRedraw() {
    m_bPictureValid = false;
    viewport()->update();
}

QSize FormalView::ClientSize() const {
    return viewport()->size();
}

void FormalView::UpdateScrollRange() {
    const int hc = ClientSize().height();
    const int height = ScrollHeight(m_Doc.m_Display.m_nLayout, m_Doc.GetPileCount(), hc);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, height - hc));
    bar->setPageStep(std::max(1, hc));
    bar->setSingleStep(30); // one wave-train row
}

void FormalView::UpdatePointer() {
    viewport()->setCursor(ToolCursor(m_Doc.m_nToolCode));
}

void FormalView::paintEvent(QPaintEvent* /*event*/) {
    const QSize size = ClientSize();
    if (size.isEmpty()) return;
    if (!m_bPictureValid || m_Picture.size() != size) {
        if (m_Picture.size() != size) m_Picture = QImage(size, QImage::Format_RGB32);
        QPainter picture(&m_Picture);
        m_Renderer.Render(picture, size, verticalScrollBar()->value(), true);
        m_bPictureValid = true;
    }
    QPainter p(viewport());
    p.drawImage(0, 0, m_Picture);
    if (m_State.m_nCursorX >= 0 && m_Doc.GetCurrentPile() && m_Doc.m_Display.m_nLayout <= 2) {
        CursorSpan span = m_Renderer.CursorExtent(size);
        if (m_Doc.m_Display.m_nLayout == 2) {
            span.nTop -= verticalScrollBar()->value();
            span.nBottom -= verticalScrollBar()->value();
        }
        // Inverted over the picture, so it shows on white, on the trace and on the marks alike.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(kColorCursor, 1));
        p.drawLine(m_State.m_nCursorX, span.nTop, m_State.m_nCursorX, span.nBottom);
    }
}

void FormalView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
    m_bPictureValid = false;
}

void FormalView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    FastRedraw();
}

void FormalView::AfterToolChange(CPileRecord& rec) {
    rec.SetDirty();
    m_Doc.LoadPending(rec.m_nPileNo);
    m_Doc.SetModified(true);
    FastRedraw();
}

bool FormalView::ChooseRowAt(int y) {
    const int n = m_Doc.GetPileCount();
    const RowChoice choice = ChooseRow(y, ClientSize().height(), n);
    if (choice.bStop) return false;
    const int third = m_Renderer.EffectiveThird();
    if (choice.nRow == 0 || choice.nRow == third) return true;

    const int cur = m_Doc.GetCurrentPileNo();
    const std::array<int, 3> rows = ThreeRowPiles(third, n, cur, m_Doc.m_nPrevPile, m_Doc.m_nNextPile);
    const int chosen = rows[static_cast<std::size_t>(choice.nRow - 1)];
    m_State.m_nThird = choice.nRow;
    if (chosen > 0 && chosen != cur) {
        // The old pile leaves the selection and the chosen one joins it in front, as the current pile.
        std::vector<int> selection = m_Doc.m_nSelection;
        std::erase(selection, cur);
        std::erase(selection, chosen);
        selection.insert(selection.begin(), chosen);
        if (CPileRecord* rec = m_Doc.FindPile(chosen)) rec->SetDirty();
        m_Doc.SetSelection(selection);
    }
    FastRedraw();
    return true;
}

bool FormalView::InsideTraceArea(int x, int y) const {
    const QSize size = ClientSize();
    const int wc = size.width(), hc = size.height();
    switch (m_Doc.m_Display.m_nLayout) {
    case 0:
        return x >= 10 && x <= wc - 10 && y >= 10 && y <= hc - 110;
    case 1: {
        const CursorSpan span = m_Renderer.CursorExtent(size);
        return x >= 10 && x <= wc - 110 && y >= span.nTop && y <= span.nBottom;
    }
    case 2:
        return x >= m_State.m_nTrainX0 && x <= m_State.m_nTrainX1;
    default:
        return false;
    }
}

void FormalView::ShowReadouts() {
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) return;
    const int step = std::max<int>(1, rec->m_nStep);
    if (m_Doc.m_Display.m_nLayout == 2) {
        const double us = static_cast<double>(m_State.m_nCursorX - 40) * rec->m_fSampleInterval * step;
        emit StatusText(1, Readout(vtext::kTime, "%.1fus", us, true));
        for (int pane = 2; pane <= 5; ++pane)
            emit StatusText(pane, QString());
        return;
    }
    const int x = CursorColumn();
    const int c = x - rec->m_nHeadSample / step - rec->m_nShiftX;
    const auto time = rec->TimeOfPoint(c);
    const auto depth = rec->DepthOfPoint(c);
    const auto speed = rec->SpeedFromToePoint(c);
    emit StatusText(1, Readout(vtext::kTime, "%.2fms", time.value_or(0), time.has_value()));
    emit StatusText(2, Readout(vtext::kAmplitude, "%.2fmv", rec->GetSample(x * step), true));
    emit StatusText(
        3, QString::fromUtf8(vtext::kDepth) +
               (depth ? QString::fromStdString(Round1Text(*depth)) + QStringLiteral("m") : QString()));
    emit StatusText(4, speed ? QString::fromUtf8(vtext::kWaveSpeed) + QStringLiteral("%1m/s").arg(*speed)
                             : QString::fromUtf8(vtext::kWaveSpeed));
    emit StatusText(5, QString::fromUtf8(vtext::kPoints) + QString::number(x));
}

void FormalView::mousePressEvent(QMouseEvent* event) {
    if (!m_Doc.GetCurrentPile()) return;
    const QPoint pt = event->position().toPoint();
    const int tool = m_Doc.m_nToolCode;
    if (event->button() == Qt::RightButton) {
        // A right press puts the active tool away.
        if (const int command = ToolCommand(tool)) m_Doc.ChooseTool(command);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (m_Doc.m_Display.m_nLayout == 1 && !ChooseRowAt(pt.y())) return;

    CPileRecord& rec = *m_Doc.GetCurrentPile();
    m_State.m_nDragX0 = m_State.m_nDragX1 = pt.x();
    m_State.m_nDragY0 = m_State.m_nDragY1 = pt.y();
    switch (tool) {
    case kToolTranslate:
        m_State.m_bDragging = 1;
        m_nPressShiftX = rec.m_nShiftX;
        m_nPressShiftY = rec.m_nShiftY;
        break;
    case kToolRotate:
        m_State.m_bDragging = 1;
        m_nPreviousY = pt.y();
        break;
    case kToolZoomIn:
    case kToolZoomOut:
        if (ZoomClick(rec, tool)) AfterToolChange(rec);
        break;
    case kToolLocalZoom:
        m_State.m_bDragging = 1;
        FastRedraw();
        break;
    default:
        break;
    }
    // A press away from a grabbed marker takes the cursor away.
    if (m_State.m_nInteraction != 3) m_State.m_nCursorX = -1;
    viewport()->update();
}

void FormalView::mouseMoveEvent(QMouseEvent* event) {
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) return;
    const QPoint pt = event->position().toPoint();
    if (m_State.m_bDragging && (event->buttons() & Qt::LeftButton)) {
        m_State.m_nDragX1 = pt.x();
        m_State.m_nDragY1 = pt.y();
        switch (m_Doc.m_nToolCode) {
        case kToolTranslate:
            TranslateDrag(*rec, m_State.m_nDragX0, m_State.m_nDragY0, m_nPressShiftX, m_nPressShiftY, pt.x(),
                          pt.y());
            AfterToolChange(*rec);
            break;
        case kToolRotate:
            if (pt.y() != m_nPreviousY) {
                RotateDrag(*rec, m_nPreviousY, pt.y());
                m_nPreviousY = pt.y();
                AfterToolChange(*rec);
            }
            break;
        case kToolLocalZoom:
            FastRedraw();
            break;
        default:
            break;
        }
        return;
    }
    if (m_Doc.m_nToolCode == kToolNone && m_State.m_nInteraction == -1 && InsideTraceArea(pt.x(), pt.y())) {
        m_State.m_nCursorX = pt.x();
        m_State.m_nCursorY = pt.y();
        ShowReadouts();
        viewport()->update(); // the picture stays; only the cursor line moves
    }
}

void FormalView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_Doc.GetCurrentPile() || event->button() != Qt::LeftButton) return;
    // The local-zoom rectangle stays on screen for Up / Down to apply it.
    m_State.m_bDragging = 0;
    if (m_State.m_nInteraction == 3) {
        m_State.m_nInteraction = -1;
        FastRedraw();
    }
}

void FormalView::keyPressEvent(QKeyEvent* event) {
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        m_State.m_nCursorX = -1;
        m_State.m_nInteraction = -1;
        FastRedraw();
        return;
    }
    int key = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        key = kKeyUp;
        break;
    case Qt::Key_Down:
        key = kKeyDown;
        break;
    case Qt::Key_Left:
        key = kKeyLeft;
        break;
    case Qt::Key_Right:
        key = kKeyRight;
        break;
    default:
        break;
    }
    if (key >= 0 && m_Doc.m_nToolCode >= 0) {
        if (ToolKeyPress(*rec, m_Doc.m_nToolCode, static_cast<ToolKey>(key), m_State)) AfterToolChange(*rec);
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event); // the wave train scrolls with the arrows
}
