// Up-down arrows for an edit.
#include "shell/dialogs/CSpinButton.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "shell/dialogs/FieldExchange.h"

namespace pw {

CSpinButton::CSpinButton(QLineEdit* buddy, double scale, QWidget* parent)
    : QWidget(parent), m_pBuddy(buddy), m_fScale(scale) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (auto [arrow, delta] : {std::pair{Qt::UpArrow, 1}, std::pair{Qt::DownArrow, -1}}) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, 11);
        connect(button, &QToolButton::clicked, this, [this, d = delta] { Step(d); });
        layout->addWidget(button);
    }
    setFixedWidth(16);
}

void CSpinButton::SetRange(int lo, int hi) {
    m_nLo = lo;
    m_nHi = hi;
    m_nPosition = std::clamp(m_nPosition, lo, hi);
}

void CSpinButton::SetPosition(int position) {
    m_nPosition = std::clamp(position, m_nLo, m_nHi);
}

void CSpinButton::Step(int delta) {
    if (const auto typed = ParseNumber(m_pBuddy->text()))
        SetPosition(static_cast<int>(std::lround(std::clamp(*typed / m_fScale, -1e6, 1e6))));
    const int before = m_nPosition;
    SetPosition(m_nPosition + delta);
    if (m_nPosition != before || delta == 0) emit Moved(m_nPosition);
}

} // namespace pw
