// File commands of the window: new, open (menu, command line, drop, recent list), save, save as,
// save the checked piles, merge, and the save question before the document is replaced or closed.
#pragma once

#include <QObject>
#include <QString>

#include "core/CDEVAzazDoc.h"

namespace pw {

class CCommandRouter;
class CRecentFiles;
class CShellPrompts;

class CFileCommands : public QObject {
    Q_OBJECT
public:
    CFileCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, CRecentFiles& recent, QObject* parent = nullptr);
    void Register(CCommandRouter& router);

    bool OpenPath(const QString& path); // false when nothing was opened (refused, or the user cancelled)
    void Open();
    bool Save(); // under the current path; a merged or untitled project asks for a name
    bool SaveAs();
    void SaveChecked();
    void Merge(const QString& frameTitle);
    void New();
    bool SaveModified(); // "将改动保存到 %1？": false when the user cancels

private:
    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
    CRecentFiles& m_recent;
};

} // namespace pw
