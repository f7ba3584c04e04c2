// The editing commands of the window: switches, layouts, tools, the numeric dialogs of pre-zero,
// post-cut and smoothing, averaging, restore, delete. (Head and toe are the view's, at its cursor.)
#pragma once

#include <QObject>

#include "core/CDEVAzazDoc.h"

namespace pw {

class CCommandRouter;
class CDataListView;
class CShellPrompts;

class CEditCommands : public QObject {
    Q_OBJECT
public:
    CEditCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QObject* parent = nullptr);
    void Register(CCommandRouter& router, CDataListView& list);

    void PreZero();
    void PostCut();
    void Smoothing();

private:
    void Show(const std::string& refusal); // the document's refusal text, when there is one

    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
};

} // namespace pw
