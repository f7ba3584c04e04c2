// The commands that edit through the dialogs: project information (also the pile list's double
// click), gain and filter (each followed by an apply on the estimate bar's scope), print settings,
// and the report information the Word report asks for.
#pragma once

#include <QObject>

#include <optional>

#include "core/CDEVAzazDoc.h"
#include "core/ReportSettings.h"

class QWidget;

namespace pw {

class CCommandRouter;
class CShellPrompts;

class CDialogCommands : public QObject {
    Q_OBJECT
public:
    CDialogCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QWidget* window);
    void Register(CCommandRouter& router);

    void ProjectInfo();
    void Gain();
    void Filter();
    void PrintSetup();
    // The report information dialog over the caller's fields; the fields after OK.
    std::optional<CReportInfo> ReportInfo(const CReportInfo& info);

private:
    // Applies the pending set; a refusal is shown and the pending set is put back as it was.
    void ApplyOrPutBack(const PendingParams& before);

    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
    QWidget* m_pWindow;
};

} // namespace pw
