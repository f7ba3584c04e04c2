// The Word report and the Excel table of the ticked piles: the report information dialog, the file
// name, the writing with progress and cancel, and the finished file opened in the desktop's program.
#pragma once

#include <QObject>
#include <QString>

#include "core/CDEVAzazDoc.h"

class QWidget;

namespace pw {

class CCommandRouter;
class CDialogCommands;
class CShellPrompts;

class CReportCommands : public QObject {
    Q_OBJECT
public:
    CReportCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, CDialogCommands& dialogs, QWidget* window);
    void Register(CCommandRouter& router);

    void WordReport();
    void ExcelTable();
    // The site's mean wave speed, and on request every pile moved to it (times kept).
    void SiteSpeed();
    // The data checked against the standard, by pile; a double click in the dialog selects a pile.
    void DataChecks();

    // Opens a finished file with the desktop's default program (off in tests).
    bool m_bOpenWhenDone = true;

private:
    // Opens path, or says where it is when no program takes it.
    void OpenOrSayWhere(const QString& path);

    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
    CDialogCommands& m_dialogs;
    QWidget* m_pWindow;
};

} // namespace pw
