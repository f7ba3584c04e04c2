// FormalView: the waveform pane. Draws the project's traces in the layout the project chooses, through
// an off-screen image, and turns mouse and keys into the tools' changes of the current pile.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>

#include "core/CDEVAzazDoc.h"
#include "view/CLayoutRenderer.h"
#include "view/CPlotFonts.h"
#include "view/ViewState.h"

class FormalView : public QAbstractScrollArea, public pw::IDocumentListener {
    Q_OBJECT
public:
    // Registers with the document; removes itself again when destroyed.
    explicit FormalView(pw::CDEVAzazDoc& doc, QWidget* parent = nullptr);
    ~FormalView() override;

    // Any change of the project: the scroll sizes and pointer follow it and the picture is redrawn.
    void OnDocumentChanged(unsigned changes) override;

    // Cursor column counted from the trace box's left edge: cursor x - 10, or -11 without a cursor.
    int CursorColumn() const { return m_State.m_nCursorX - 10; }
    void SetCursorX(int x);

    // Draws the current layout (no cursor line, no current-row indicator) as if the client area were
    // area's size, with its top left at area's top left. The wave train is drawn from its first row.
    void RenderTo(QPainter& painter, const QRect& area);

    // View state the printing and export code and the marker logic share with the plots.
    pw::ViewState& State() { return m_State; }
    const pw::ViewState& State() const { return m_State; }
    const pw::CPlotFonts& Fonts() const { return m_Fonts; }

    // Redraws the off-screen picture and shows it (after every drag step, key and zoom click).
    void FastRedraw();

signals:
    // Status-bar readouts: pane 1..5 and its text ("" clears it).
    void StatusText(int pane, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateScrollRange();
    void UpdatePointer();
    // After a tool changed the current pile: reprocess it, reload the pending set, mark the project.
    void AfterToolChange(pw::CPileRecord& rec);
    bool ChooseRowAt(int y); // three-trace row choice; false when the press ends there
    bool InsideTraceArea(int x, int y) const;
    void ShowReadouts();
    QSize ClientSize() const;

    pw::CDEVAzazDoc& m_Doc;
    pw::CPlotFonts m_Fonts;
    pw::ViewState m_State;
    pw::CLayoutRenderer m_Renderer;
    QImage m_Picture;                           // the layout without the cursor line, client-sized
    bool m_bPictureValid = false;               // false: the next paint draws it again
    int m_nPressShiftX = 0, m_nPressShiftY = 0; // the pile's offsets when the translate drag began
    int m_nPreviousY = 0;                       // last pointer y of a rotate drag
};
