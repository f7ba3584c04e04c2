// Undo and redo commands, their names in the menu, and one history step per user action.
#include "shell/CUndoCommands.h"

#include <QAction>
#include <QTimer>

#include "core/CommandIds.h"
#include "shell/CCommandRouter.h"
#include "shell/CommandTable.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"

namespace pw {

CUndoCommands::CUndoCommands(CDEVAzazDoc& doc, CCommandRouter& router, QObject* parent)
    : QObject(parent), m_doc(doc), m_router(router) {
    m_doc.EnableHistory();
    m_doc.AddListener(this);
    auto run = [this](bool undo) {
        RecordNow(); // anything still unrecorded is a step of its own first
        m_bRestoring = true;
        undo ? m_doc.Undo() : m_doc.Redo();
        m_bRestoring = false;
    };
    m_router.Handle(cmd::kUndo, [run] { run(true); });
    m_router.Handle(cmd::kRedo, [run] { run(false); });
    m_router.SetStateRule(cmd::kUndo, [this] { return CommandState{!m_doc.UndoName().empty(), false}; });
    m_router.SetStateRule(cmd::kRedo, [this] { return CommandState{!m_doc.RedoName().empty(), false}; });
    connect(&m_router, &CCommandRouter::CommandRequested, this, [this](int id) {
        if (id != cmd::kUndo && id != cmd::kRedo) m_strPending = NameOfCommand(id);
    });
    connect(&m_router, &CCommandRouter::CommandDone, this, [this](int id) {
        if (id != cmd::kUndo && id != cmd::kRedo) RecordNow();
    });
    connect(&m_router, &CCommandRouter::Updated, this, &CUndoCommands::UpdateTexts);
}

CUndoCommands::~CUndoCommands() {
    m_doc.RemoveListener(this);
}

void CUndoCommands::NameNextStep(const QString& name) {
    m_strPending = name;
    // Recorded when the action is done, whether or not it changed anything, so the name never lingers
    // for a later change.
    if (!m_bScheduled) {
        m_bScheduled = true;
        QTimer::singleShot(0, this, [this] {
            if (m_bScheduled) RecordNow();
        });
    }
}

void CUndoCommands::RecordNow() {
    m_bScheduled = false;
    const QString name = m_strPending.isEmpty() ? FallbackName() : m_strPending;
    m_strPending.clear();
    if (m_doc.RecordStep(name.toStdString())) m_router.UpdateAll();
}

void CUndoCommands::OnDocumentChanged(unsigned changes) {
    // Opening, new and merge start the history afresh in the document; the undo itself is no step.
    if (m_bRestoring || (changes & kChangedProject)) {
        UpdateTexts();
        return;
    }
    if (m_bScheduled || !(changes & (kChangedRecords | kChangedModified | kChangedCurrent))) return;
    // Changes that came from outside a command (the pointer, the list's boxes, the estimate bar) are
    // one step when the event that made them is done.
    m_bScheduled = true;
    QTimer::singleShot(0, this, [this] {
        if (m_bScheduled) RecordNow();
    });
}

QString CUndoCommands::NameOfCommand(int id) const {
    if (id >= cmd::kDefectFirst && id <= cmd::kDefectLast) return QString::fromUtf8(msg::kStepAddDefect);
    if (id >= cmd::kClassRule && id <= cmd::kClassIV) return QString::fromUtf8(msg::kStepClass);
    const CommandEntry* desc = FindCommand(id);
    if (!desc || !desc->szText) return {};
    std::string storage;
    return QString::fromUtf8(CommandPrompt(*desc, storage).data());
}

QString CUndoCommands::FallbackName() const {
    // What the pointer does in the view: a spectrum mark, a drag with the chosen tool, or a marker moved.
    const int layout = m_doc.m_Display.m_nLayout;
    if (layout == 3 || layout == 4) return QString::fromUtf8(msg::kStepSpectrumMark);
    if (m_doc.m_nToolCode >= 0) {
        const QString tool = NameOfCommand(m_doc.m_nToolCode);
        if (!tool.isEmpty()) return tool;
    }
    return QString::fromUtf8(msg::kStepMoveMarker);
}

void CUndoCommands::UpdateTexts() {
    // "撤销 添加缺陷(&U)\tCtrl+Z": the step's name in the item and the button's tip.
    auto name = [](const char* verb, const std::string& step, const char* rest) {
        QString text = QString::fromUtf8(verb);
        if (!step.empty()) text += QLatin1Char(' ') + QString::fromStdString(step);
        return std::make_pair(text + QString::fromUtf8(rest), text);
    };
    const auto undo = name(msg::kUndoVerb, m_doc.UndoName(), "(&U)\tCtrl+Z");
    const auto redo = name(msg::kRedoVerb, m_doc.RedoName(), "(&R)\tCtrl+Y");
    for (const auto& [id, texts] : {std::make_pair(int(cmd::kUndo), undo), std::make_pair(int(cmd::kRedo), redo)}) {
        if (QAction* action = m_router.Action(id)) {
            if (action->text() != texts.first) action->setText(texts.first);
            action->setToolTip(texts.second);
            action->setStatusTip(texts.second);
        }
    }
}

} // namespace pw
