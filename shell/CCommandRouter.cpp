// Command dispatch and the update pass.
#include "shell/CCommandRouter.h"

#include <QAction>
#include <QShortcut>
#include <QWidget>

#include "shell/CommandTable.h"
#include "shell/ToolbarIcons.h"

namespace pw {

CCommandRouter::CCommandRouter(CDEVAzazDoc& doc, QWidget* window)
    : QObject(window), m_doc(doc), m_pWindow(window) {
    for (const CommandEntry& desc : CommandTable()) {
        if (desc.szText) {
            // No shortcut on the action: Qt would append its own hint to texts without a tab, and the
            // stored texts must show as they are. The keys live in the accelerator table below.
            auto* action = new QAction(QString::fromUtf8(desc.szText), this);
            std::string prompt;
            const QString tip = QString::fromUtf8(CommandPrompt(desc, prompt).data());
            action->setToolTip(tip);
            action->setStatusTip(tip);
            action->setIcon(ToolbarIcon(desc.nId));
            action->setData(desc.nId);
            connect(action, &QAction::triggered, this, [this, id = desc.nId] { Dispatch(id); });
            m_Actions[desc.nId] = action;
        }
        for (const char* key : desc.szKeys) {
            if (!key) continue;
            const QKeySequence seq(QString::fromLatin1(key), QKeySequence::PortableText);
            m_KeyCommands[seq.toString(QKeySequence::PortableText)] = desc.nId;
            auto* shortcut = new QShortcut(seq, window);
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, id = desc.nId] { Dispatch(id); });
        }
    }
}

void CCommandRouter::Handle(int id, std::function<void()> run) {
    m_Handlers[id] = std::move(run);
}

void CCommandRouter::SetStateRule(int id, std::function<CommandState()> rule) {
    m_Rules[id] = std::move(rule);
}

void CCommandRouter::SetRefusal(int id, std::function<QString()> why) {
    m_Refusals[id] = std::move(why);
}

QAction* CCommandRouter::Action(int id) {
    const auto it = m_Actions.find(id);
    return it == m_Actions.end() ? nullptr : it->second;
}

CommandState CCommandRouter::StateOf(int id) const {
    const CommandEntry* desc = FindCommand(id);
    if (!desc || desc->route == CommandRoute::Later || desc->route == CommandRoute::Inert) return {};
    if (!m_Handlers.count(id)) return {};
    if (const auto rule = m_Rules.find(id); rule != m_Rules.end()) return rule->second();
    if (desc->route == CommandRoute::Document) return m_doc.GetCommandState(id);
    return {true, false};
}

bool CCommandRouter::Dispatch(int id) {
    emit CommandRequested(id);
    // State is computed now, as a menu's update would: an accelerator must not run a disabled command.
    if (!StateOf(id).enabled) {
        if (const auto why = m_Refusals.find(id); why != m_Refusals.end())
            if (const QString text = why->second(); !text.isEmpty()) emit CommandRefused(id, text);
        return false;
    }
    m_Handlers[id]();
    emit CommandDone(id);
    UpdateAll();
    return true;
}

void CCommandRouter::UpdateAll() {
    for (auto& [id, action] : m_Actions) {
        const CommandState state = StateOf(id);
        action->setEnabled(state.enabled);
        const bool checkable = state.checked || action->isCheckable();
        action->setCheckable(checkable);
        if (checkable) action->setChecked(state.checked);
    }
    emit Updated();
}

int CCommandRouter::CommandForKey(const QKeySequence& key) const {
    const auto it = m_KeyCommands.find(key.toString(QKeySequence::PortableText));
    return it == m_KeyCommands.end() ? 0 : it->second;
}

} // namespace pw
