// FormalView: the waveform pane. Draws the project's layout through an off-screen picture with the
// cursor line inverted over it, turns mouse and keys into the tools' changes of the current pile, and
// forwards the cursor and marker input to the marker editor, whose effects it shows.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>

#include <vector>

#include "core/CDEVAzazDoc.h"
#include "view/CLayoutRenderer.h"
#include "view/CMarkerEditor.h"
#include "view/CPlotFonts.h"
#include "view/ViewState.h"

class FormalView : public QAbstractScrollArea, public pw::IDocumentListener {
    Q_OBJECT
public:
    // Registers with the document; removes itself again when destroyed.
    explicit FormalView(pw::CDEVAzazDoc& doc, QWidget* parent = nullptr);
    ~FormalView() override;

    // Any change of the project: the scroll sizes and pointer follow it and the picture is redrawn.
    // Another project or another layout also takes the cursor and the readouts away.
    void OnDocumentChanged(unsigned changes) override;

    // Cursor column counted from the trace box's left edge: cursor x - 10, or -11 without a cursor.
    int CursorColumn() const { return m_State.m_nCursorX - 10; }
    void SetCursorX(int x);

    // The commands at the cursor: 32811 delete the grabbed defect, 32813..32819 add a defect of kind
    // 1..7, 32838 head, 32839 toe, 32841 pre-zero, 32842 post-cut. A refusal comes out through
    // Refusal(), or through StatusText() when it is about where the cursor is.
    void RunMarkerCommand(int commandId);

    // A widget whose keyboard focus the view takes when the pointer enters it (the pile list, the
    // frame itself), so the keys of the trace under the pointer reach it. Nothing else loses the focus
    // that way: not a text field being typed in.
    void TakeFocusFrom(QWidget* widget) { m_FocusDonors.push_back(widget); }

    // Draws the current layout (no cursor line, no current-row indicator) as if the client area were
    // area's size, with its top left at area's top left. The wave train is drawn from its first row.
    void RenderTo(QPainter& painter, const QRect& area);

    // View state the printing and export code and the marker logic share with the plots.
    pw::ViewState& State() { return m_State; }
    const pw::ViewState& State() const { return m_State; }
    const pw::CPlotFonts& Fonts() const { return m_Fonts; }
    pw::CMarkerEditor& Editor() { return m_Editor; }

    // Redraws the off-screen picture and shows it (after every drag step, key and zoom click).
    void FastRedraw();

signals:
    // Status bar: pane 0 the hint, 1..5 the readouts ("" clears one).
    void StatusText(int pane, const QString& text);
    // Every pane back to its empty readout (another project, a new document, another layout).
    void StatusReset();
    // A placement was refused: the text for a message box.
    void Refusal(const QString& text);
    // The right button was released over a trace layout: menu 135 at this screen position.
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void UpdateScrollRange();
    void UpdatePointer();
    // After a tool changed the current pile: reprocess it, reload the pending set, mark the project.
    void AfterToolChange();
    bool ChooseRowAt(int y); // three-trace row choice; false when the press ends there
    void ToolPress(QPoint pt); // on the current pile
    // The editor's geometry from the client size and the layout as drawn.
    pw::CMarkerEditor& Edit();
    void Show(const pw::EditorEffects& effects);
    void UpdateCursorColumn(int x); // only the strip of the cursor line at x
    QSize ClientSize() const;

    pw::CDEVAzazDoc& m_Doc;
    pw::CPlotFonts m_Fonts;
    pw::ViewState m_State;
    pw::CLayoutRenderer m_Renderer;
    pw::CMarkerEditor m_Editor;
    QImage m_Picture;                           // the layout without the cursor line, client-sized
    bool m_bPictureValid = false;               // false: the next paint draws it again
    int m_nLayoutShown = 0;                     // the layout the cursor's coordinates belong to
    int m_nToolShown = -1;                      // the tool the cursor and the grab were made under
    std::vector<QWidget*> m_FocusDonors;
    int m_nPressShiftX = 0, m_nPressShiftY = 0; // the pile's offsets when the translate drag began
    int m_nPreviousY = 0;                       // last pointer y of a rotate drag
};
