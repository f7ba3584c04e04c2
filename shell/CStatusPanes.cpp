// Status panes: time, amplitude, depth, wave speed and sample count readouts of the waveform view.
#include "shell/CStatusPanes.h"

#include <QLabel>
#include <QStatusBar>

namespace pw {

const std::array<const char*, CStatusPanes::kPanes> CStatusPanes::kInitialTexts = {
    "",
    "声时:                        ",
    "幅度:                ",
    "深度:                        ",
    "波速:                       ",
    "数据点数:          ",
};

CStatusPanes::CStatusPanes(QStatusBar* bar) : QObject(bar), m_pBar(bar) {
    for (int i = 1; i < kPanes; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kInitialTexts[i]), bar);
        label->setObjectName(QStringLiteral("statusPane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Width from the initial text; blanks count, so measure the text itself rather than its shape.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(label->text()) + 8);
        bar->addPermanentWidget(label);
        m_pPanes[static_cast<std::size_t>(i)] = label;
    }
}

QString CStatusPanes::Text(int pane) const {
    if (pane == 0) return m_pBar->currentMessage();
    return pane > 0 && pane < kPanes ? m_pPanes[static_cast<std::size_t>(pane)]->text() : QString();
}

void CStatusPanes::SetText(int pane, const QString& text) {
    if (pane == 0)
        m_pBar->showMessage(text);
    else if (pane > 0 && pane < kPanes)
        m_pPanes[static_cast<std::size_t>(pane)]->setText(text);
}

} // namespace pw

namespace pw {

void CStatusPanes::Reset() {
    m_pBar->clearMessage();
    for (int i = 1; i < kPanes; ++i)
        m_pPanes[static_cast<std::size_t>(i)]->setText(
            QString::fromUtf8(kInitialTexts[static_cast<std::size_t>(i)]));
}

} // namespace pw
