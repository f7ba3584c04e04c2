// Printing (57607), print preview (57609) and the pictures: the current pile's (32829) and those of
// the printed piles into a folder (32908). The pages and pictures are drawn by the view; this asks
// the questions, runs the printer dialogs and shows progress.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "core/CDEVAzazDoc.h"
#include "core/PrintSettings.h"

class QPrinter;
class QWidget;

namespace pw {

class CCommandRouter;
class CShellPrompts;
struct CPrintJob;

class CPrintCommands : public QObject {
    Q_OBJECT
public:
    // clearPanes empties status panes 1..5 (before the preview).
    CPrintCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QWidget* window,
                   std::function<void()> clearPanes);
    void Register(CCommandRouter& router);

    void Print();
    void Preview();
    void SaveCurrentPicture();
    void SaveSelectedPictures();

    // Where the print settings come from (the user's set.ini; tests point it elsewhere).
    QString m_strSettingsPath;

private:
    CPrintSettings Settings() const;
    CPrintJob MakeJob(bool preview) const;
    void SetUpPrinter(QPrinter& printer, const CPrintJob& job) const;

    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
    QWidget* m_pWindow;
    std::function<void()> m_ClearPanes;
};

} // namespace pw
