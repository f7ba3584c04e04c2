// Estimate bar controls, commits with their range messages, and the scope choice.
#include "shell/EstimateBar.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

#include "core/CoreMessages.h"
#include "shell/CShellPrompts.h"
#include "shell/EstimateEdit.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellFonts.h"
#include "shell/ShellMessages.h"

namespace pw {

EstimateBar::EstimateBar(CDEVAzazDoc& doc, CShellPrompts& prompts, QWidget* parent)
    : QToolBar(parent), m_doc(doc), m_prompts(prompts) {
    m_doc.AddListener(this);
}

EstimateBar::~EstimateBar() {
    m_doc.RemoveListener(this);
}

void EstimateBar::AddControls() {
    const QFont font = SongTiFont(10);
    auto label = [&](const char* text, int width, int id) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(QStringLiteral("estimate%1").arg(id));
        // Right-aligned: the stored leading blanks run off the left edge and the words sit next to
        // their control. Never narrower than the words themselves in the installed font.
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setFont(font);
        l->setFixedWidth(std::max(width, l->fontMetrics().horizontalAdvance(l->text().trimmed()) + 8));
        addWidget(l);
    };
    label("          适用范围:", 80, cmd::kScopeLabel);
    m_pScope = new QComboBox(this);
    m_pScope->setObjectName(QStringLiteral("estimate%1").arg(cmd::kScopeBox));
    m_pScope->addItems(
        {QString::fromUtf8(kScopeCurrent), QString::fromUtf8(kScopeGroup), QString::fromUtf8(kScopeAll)});
    m_pScope->setFont(font);
    m_pScope->setFixedWidth(80);
    addWidget(m_pScope);
    auto edit = [&](int id) {
        auto* e = new EstimateEdit(this);
        e->setObjectName(QStringLiteral("estimate%1").arg(id));
        e->setFont(font);
        e->setFixedWidth(80);
        connect(e, &EstimateEdit::EnterPressed, this, [this, e] { EnterIn(e); });
        addWidget(e);
        return e;
    };
    label("            估计桩长(m):", 80, cmd::kLengthLabel);
    m_pLength = edit(cmd::kLengthEdit);
    label("             估计波速(m/s):", 100, cmd::kSpeedLabel);
    m_pSpeed = edit(cmd::kSpeedEdit);
    connect(m_pLength, &EstimateEdit::FocusLeft, this, &EstimateBar::CommitLength);
    connect(m_pSpeed, &EstimateEdit::FocusLeft, this, &EstimateBar::CommitSpeed);
    connect(m_pScope, &QComboBox::activated, this, &EstimateBar::ChooseScope);
    ShowFields();
}

void EstimateBar::ShowFields() {
    if (!m_pLength) return;
    const CEstimateState& state = m_doc.Estimate();
    // Shortest form that reads back as the same float ("0", "12.5", not "12.500000").
    m_pLength->setText(QString::number(static_cast<double>(state.m_fLength), 'g', 6));
    m_pSpeed->setText(QString::number(state.m_nSpeed));
    const int index = m_pScope->findText(QString::fromUtf8(state.m_strScope));
    if (index >= 0) m_pScope->setCurrentIndex(index);
}

void EstimateBar::CommitLength() {
    if (m_bCommitting) return;
    m_bCommitting = true;
    emit ActionStarted(QString::fromUtf8(msg::kStepLength));
    CEstimateState& state = m_doc.Estimate();
    bool ok = false;
    const float value = m_pLength->text().trimmed().toFloat(&ok);
    if (!ok) {
        // A failed parse leaves the value as it was; it still counts as the last edit left.
        state.m_nLastEntered = 0;
        m_prompts.Tell(QString::fromUtf8(msg::kEnterNumber));
    } else if (const std::string refusal = state.CommitLength(&m_doc, value); !refusal.empty()) {
        m_prompts.Tell(QString::fromUtf8(refusal));
    }
    ShowFields(); // the previous value after a refusal; after an apply the values it settled on
    m_bCommitting = false;
}

void EstimateBar::CommitSpeed() {
    if (m_bCommitting) return;
    m_bCommitting = true;
    emit ActionStarted(QString::fromUtf8(msg::kStepSpeed));
    CEstimateState& state = m_doc.Estimate();
    bool ok = false;
    const int value = m_pSpeed->text().trimmed().toInt(&ok);
    if (!ok) {
        state.m_nLastEntered = 1;
        m_prompts.Tell(QString::fromUtf8(msg::kEnterInteger));
    } else if (const std::string refusal = state.CommitSpeed(&m_doc, value); !refusal.empty()) {
        m_prompts.Tell(QString::fromUtf8(refusal));
    }
    ShowFields();
    m_bCommitting = false;
}

void EstimateBar::EnterIn(EstimateEdit* edit) {
    if (edit == m_pLength)
        CommitLength();
    else
        CommitSpeed();
    // Back to the frame, so the next key goes to the commands rather than into the edit.
    if (QWidget* frame = window()) frame->setFocus(Qt::OtherFocusReason);
}

std::string EstimateBar::ReadControls() {
    // What the edits hold goes into the bar's state only when a commit would accept it; otherwise the
    // previous value stays (and is shown again) and the commit's message says why.
    CEstimateState& state = m_doc.Estimate();
    std::string refusal;
    bool ok = false;
    if (const float length = m_pLength->text().trimmed().toFloat(&ok); ok) {
        if (length >= 0.5f && length <= 200.0f)
            state.m_fLength = length;
        else if (length != state.m_fLength)
            refusal = msg::kLengthRange;
    }
    if (const int speed = m_pSpeed->text().trimmed().toInt(&ok); ok) {
        if (speed >= 100 && speed <= 10000)
            state.m_nSpeed = static_cast<int16_t>(speed);
        else if (speed != state.m_nSpeed && refusal.empty())
            refusal = msg::kSpeedRange;
    }
    return refusal;
}

void EstimateBar::ChooseScope(int index) {
    emit ActionStarted(QString::fromUtf8(msg::kStepScope).arg(m_pScope->itemText(index)));
    const std::string typed = ReadControls();
    const std::string refusal =
        m_doc.Estimate().ScopeChanged(&m_doc, m_pScope->itemText(index).toStdString());
    // One message, even when both the typed value and the stored one are out of range.
    if (!typed.empty() || !refusal.empty())
        m_prompts.Tell(QString::fromUtf8(typed.empty() ? refusal : typed));
    ShowFields();
}

void EstimateBar::OnDocumentChanged(unsigned changes) {
    if (changes & kChangedEstimate) ShowFields();
}

} // namespace pw
