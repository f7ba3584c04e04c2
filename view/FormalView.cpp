// The waveform pane: off-screen picture with the cursor line over it, scroll sizes, tool input, and
// the marker input forwarded to the marker editor.
#include "view/FormalView.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "core/CommandIds.h"
#include "core/ViewTools.h"
#include "view/CPlotCanvas.h"
#include "view/ToolCursors.h"
#include "view/TraceGeometry.h"

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

} // namespace

FormalView::FormalView(CDEVAzazDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_Doc(doc), m_Renderer(doc, m_State, m_Fonts), m_Editor(doc, m_State),
      m_nLayoutShown(doc.m_Display.m_nLayout), m_nToolShown(doc.m_nToolCode) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    // Menu 135 opens when the right button is released (the view's own signal), not on the press.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
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

void FormalView::OnDocumentChanged(unsigned changes) {
    // A cursor placed in one project or layout means nothing in another, nor after an undo.
    // Nor does a marker grabbed before a tool was chosen or put away: the tool's keys and presses
    // must not commit it.
    const int layout = m_Doc.m_Display.m_nLayout;
    if ((changes & (kChangedProject | kChangedHistory)) || layout != m_nLayoutShown || m_Doc.m_nToolCode != m_nToolShown) {
        m_nLayoutShown = layout;
        m_nToolShown = m_Doc.m_nToolCode;
        Show(Edit().Reset());
    }
    UpdateScrollRange();
    UpdatePointer();
    FastRedraw();
}

void FormalView::SetCursorX(int x) {
    m_State.m_nCursorX = x;
    viewport()->update();
}

void FormalView::RunMarkerCommand(int commandId) {
    if (!m_Doc.GetCurrentPile()) return;
    CMarkerEditor& editor = Edit();
    if (commandId >= cmd::kDefectFirst && commandId <= cmd::kDefectLast)
        Show(editor.AddDefect(commandId - cmd::kDefectFirst + 1));
    else if (commandId == cmd::kDeleteDefect)
        Show(editor.DeleteDefect());
    else if (commandId == cmd::kPreZeroAtCursor)
        Show(editor.PreZero());
    else if (commandId == cmd::kPostCutAtCursor)
        Show(editor.PostCut());
    else if (commandId == cmd::kSetHead)
        Show(editor.SetHead());
    else if (commandId == cmd::kSetToe)
        Show(editor.SetToe());
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

CMarkerEditor& FormalView::Edit() {
    const QSize size = ClientSize();
    m_Editor.SetGeometry(GeometryOf(m_Doc, m_State, size.width(), size.height()));
    return m_Editor;
}

void FormalView::UpdateCursorColumn(int x) {
    if (x >= 0) viewport()->update(QRect(x - 1, 0, 3, ClientSize().height()));
}

void FormalView::Show(const EditorEffects& effects) {
    if (effects.bResetPanes) emit StatusReset();
    for (int pane = 0; pane < static_cast<int>(effects.Panes.size()); ++pane)
        if (effects.Panes[pane]) emit StatusText(pane, QString::fromStdString(*effects.Panes[pane]));
    if (effects.ePointer == PointerShape::Marker)
        viewport()->setCursor(MarkerCursor());
    else if (effects.ePointer == PointerShape::Unavailable)
        viewport()->setCursor(Qt::ForbiddenCursor);
    if (effects.bRepaint) {
        FastRedraw();
    } else if (effects.bCursorMoved) {
        // The picture stays: only the strips of the old and the new cursor line are painted again.
        UpdateCursorColumn(effects.nOldCursorX);
        UpdateCursorColumn(m_State.m_nCursorX);
    }
    if (!effects.strMessage.empty()) emit Refusal(QString::fromStdString(effects.strMessage));
}

void FormalView::UpdateScrollRange() {
    const int hc = ClientSize().height();
    const int height = ScrollHeight(LayoutOf(m_Doc.m_Display.m_nLayout), m_Doc.GetPileCount(), hc);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, height - hc));
    bar->setPageStep(std::max(1, hc));
    bar->setSingleStep(30); // one wave-train row
}

void FormalView::UpdatePointer() {
    viewport()->setCursor(ToolCursor(m_Doc.m_nToolCode));
}

void FormalView::paintEvent(QPaintEvent* event) {
    const QSize size = ClientSize();
    if (size.isEmpty()) return;
    if (!m_bPictureValid || m_Picture.size() != size) {
        if (m_Picture.size() != size) m_Picture = QImage(size, QImage::Format_RGB32);
        QPainter picture(&m_Picture);
        m_Renderer.Render(picture, size, verticalScrollBar()->value(), true);
        m_bPictureValid = true;
    }
    QPainter p(viewport());
    const QRect area = event->rect();
    p.drawImage(area.topLeft(), m_Picture, area);
    if (m_State.m_nCursorX >= 0 && m_Doc.GetCurrentPile()) {
        CursorSpan span = m_Renderer.CursorExtent(size);
        if (LayoutOf(m_Doc.m_Display.m_nLayout) == Layout::WaveTrain) {
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

void FormalView::AfterToolChange() {
    CPileRecord& rec = *m_Doc.GetCurrentPile();
    rec.Touch();
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
        if (CPileRecord* rec = m_Doc.FindPile(chosen)) rec->Touch();
        m_Doc.SetSelection(selection);
    }
    FastRedraw();
    return true;
}

void FormalView::ToolPress(QPoint pt) {
    CPileRecord& rec = *m_Doc.GetCurrentPile();
    m_State.m_nDragX0 = m_State.m_nDragX1 = pt.x();
    m_State.m_nDragY0 = m_State.m_nDragY1 = pt.y();
    switch (m_Doc.m_nToolCode) {
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
        if (ZoomClick(rec, ToolOf(m_Doc.m_nToolCode))) AfterToolChange();
        break;
    case kToolLocalZoom:
        m_State.m_bDragging = 1;
        FastRedraw();
        break;
    default:
        break;
    }
}

void FormalView::mousePressEvent(QMouseEvent* event) {
    // Pressed, the view takes the keys: the marker and tool keys mean the trace under the pointer.
    setFocus(Qt::MouseFocusReason);
    if (!m_Doc.GetCurrentPile()) return;
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        // A right press puts the active tool away; with none, it sets or deletes a spectrum mark.
        if (const int command = ToolCommand(m_Doc.m_nToolCode))
            m_Doc.ChooseTool(command);
        else
            Show(Edit().RightDown(pt.x(), pt.y()));
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const Layout layout = LayoutOf(m_Doc.m_Display.m_nLayout);
    if (layout == Layout::ThreeTraces && !ChooseRowAt(pt.y())) return;
    // The tools work on the traces they draw: the wave train and the spectra show none of it.
    if (IsMarkerLayout(layout)) ToolPress(pt);
    Show(Edit().LeftDown());
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
            AfterToolChange();
            break;
        case kToolRotate:
            if (pt.y() != m_nPreviousY) {
                RotateDrag(*rec, m_nPreviousY, pt.y());
                m_nPreviousY = pt.y();
                AfterToolChange();
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
    Show(Edit().PointerMove(pt.x(), pt.y()));
}

void FormalView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_Doc.GetCurrentPile()) return;
    if (event->button() == Qt::RightButton) {
        if (IsMarkerLayout(LayoutOf(m_Doc.m_Display.m_nLayout)))
            emit ContextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    // The local-zoom rectangle stays on screen for Up / Down to apply it.
    m_State.m_bDragging = 0;
    Show(Edit().LeftUp());
}

void FormalView::keyPressEvent(QKeyEvent* event) {
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        Show(Edit().Key(EditorKey::Escape));
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Show(Edit().Key(EditorKey::Enter));
        return;
    default:
        break;
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
    if (key >= 0 && m_Doc.m_nToolCode >= 0 && IsMarkerLayout(LayoutOf(m_Doc.m_Display.m_nLayout))) {
        if (ToolKeyPress(*rec, ToolOf(m_Doc.m_nToolCode), static_cast<ToolKey>(key),
                         ToolDrag{m_State.m_nDragX0, m_State.m_nDragX1}))
            AfterToolChange();
        event->accept();
        return;
    }
    if (key == kKeyLeft || key == kKeyRight) {
        const EditorEffects effects = Edit().Key(key == kKeyLeft ? EditorKey::Left : EditorKey::Right);
        if (effects.bHandled) {
            Show(effects);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event); // the wave train scrolls with the arrows
}

void FormalView::enterEvent(QEnterEvent* event) {
    QAbstractScrollArea::enterEvent(event);
    // Only from the widgets it was told of, and only those themselves: a text field keeps the keys.
    QWidget* focus = QApplication::focusWidget();
    if (focus && std::find(m_FocusDonors.begin(), m_FocusDonors.end(), focus) != m_FocusDonors.end())
        setFocus(Qt::MouseFocusReason);
}
