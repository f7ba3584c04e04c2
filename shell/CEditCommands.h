// The editing commands of the window: switches, layouts, tools, the numeric dialogs of pre-zero,
// post-cut and smoothing, averaging, restore, head and toe at the view's cursor, delete.
#pragma once

#include <QObject>

#include <functional>

#include "core/CDEVAzazDoc.h"

namespace pw {

class CCommandRouter;
class CDataListView;
class CShellPrompts;

class CEditCommands : public QObject {
    Q_OBJECT
public:
    CEditCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QObject* parent = nullptr);
    // cursorColumn: the waveform view's cursor, for the head and toe commands (none: they stay disabled).
    void Register(CCommandRouter& router, CDataListView& list, std::function<int()> cursorColumn);

    void PreZero();
    void PostCut();
    void Smoothing();

private:
    void Show(const std::string& refusal); // the document's refusal text, when there is one

    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
};

} // namespace pw
