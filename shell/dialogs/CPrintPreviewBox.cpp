// Preview: light grey ground, a 5-point 宋体 header above a line 15 pixels below the top, the footer
// with a sample page number below a line 12 pixels above the bottom, and the cells from (15, 20).
#include "shell/dialogs/CPrintPreviewBox.h"

#include <QPainter>

#include "core/PrintSettings.h"
#include "shell/ShellFonts.h"

namespace pw {

CPrintPreviewBox::CPrintPreviewBox(QWidget* parent) : QWidget(parent) {
    setMinimumSize(150, 200);
}

void CPrintPreviewBox::SetGrid(int rows, int columns) {
    m_nRows = rows;
    m_nColumns = columns;
    update();
}

void CPrintPreviewBox::SetTexts(const QString& header, const QString& footer) {
    m_strHeader = header;
    m_strFooter = footer;
    update();
}

void CPrintPreviewBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(245, 245, 248));
    // Zero rows or columns would divide the page by nothing; values the spins cannot reach draw
    // nothing either.
    if (m_nRows < 1 || m_nRows > MaxRows(2) || m_nColumns < 1 || m_nColumns > kMaxColumns) return;
    const int w = width(), h = height();
    p.setPen(Qt::black);
    p.setFont(SongTiFont(5));
    const int top = 15, bottom = h - 12;
    p.drawLine(0, top, w, top);
    p.drawText(QRect(0, 0, w, top), Qt::AlignHCenter | Qt::AlignBottom, m_strHeader);
    p.drawLine(0, bottom, w, bottom);
    p.drawText(QRect(0, bottom, w, h - bottom), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("    %1     共 页 第 页").arg(m_strFooter));
    const int cellW = (w - 20) / m_nColumns, cellH = (h - 30) / m_nRows;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nColumns; ++c)
            p.drawRect(15 + c * cellW, 20 + r * cellH, cellW - 10, cellH - 4);
}

} // namespace pw
