// Open, save, merge and new, with their dialogs and messages.
#include "shell/CFileCommands.h"

#include <QFileInfo>

#include "core/CommandIds.h"
#include "core/CoreMessages.h"
#include "shell/CCommandRouter.h"
#include "shell/CRecentFiles.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"

namespace pw {
namespace {
QString Q(const std::string& s) {
    return QString::fromUtf8(s);
}
} // namespace

CFileCommands::CFileCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, CRecentFiles& recent, QObject* parent)
    : QObject(parent), m_doc(doc), m_prompts(prompts), m_recent(recent) {}

void CFileCommands::Register(CCommandRouter& router) {
    router.Handle(cmd::kNew, [this] { New(); });
    router.Handle(cmd::kOpen, [this] { Open(); });
    router.Handle(cmd::kSave, [this] { Save(); });
    router.Handle(cmd::kSaveAs, [this] { SaveAs(); });
    router.Handle(cmd::kSaveChecked, [this] { SaveChecked(); });
}

bool CFileCommands::SaveModified() {
    if (!m_doc.m_bModified) return true;
    const std::string& name = m_doc.m_strPath.empty() ? m_doc.m_strTitle : m_doc.m_strPath;
    const auto answer =
        m_prompts.Ask(QString::fromUtf8(msg::kAppTitle), QString::fromUtf8(msg::kSaveChanges).arg(Q(name)),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    return answer == QMessageBox::No || Save();
}

bool CFileCommands::OpenPath(const QString& path) {
    if (path.isEmpty()) return false;
    if (!QFileInfo::exists(path)) { // the document stays as it is
        m_prompts.Tell(QString::fromUtf8(msg::kOpenFailed));
        m_recent.Remove(QFileInfo(path).absoluteFilePath());
        return false;
    }
    if (!SaveModified()) return false;
    const CDocResult result = m_doc.Open(path.toStdString());
    // A damaged file stays open with what was read before the damage; say what went wrong.
    if (!result.Ok()) m_prompts.Tell(Q(result.m_strMessage));
    if (m_doc.GetPileCount() > 0) m_recent.Add(path);
    return result.Ok();
}

void CFileCommands::Open() {
    OpenPath(m_prompts.AskOpenPath(QString::fromUtf8(msg::kFileFilter)));
}

bool CFileCommands::Save() {
    // Only a project file is saved in place. A merged ("New_Data") or new project, and piles read
    // from a tester folder, are saved under a name the user picks: the tester's own files are never
    // written over.
    if (!m_doc.HasProjectFile()) return SaveAs();
    const CDocResult result = m_doc.Save(m_doc.m_strPath);
    if (!result.Ok()) m_prompts.Tell(Q(result.m_strMessage));
    return result.Ok();
}

bool CFileCommands::SaveAs() {
    const QString path =
        m_prompts.AskSavePath(QString::fromUtf8(msg::kFileFilter), Q(m_doc.ProposedSavePath()));
    if (path.isEmpty()) return false;
    const CDocResult result = m_doc.Save(path.toStdString());
    if (!result.Ok()) {
        m_prompts.Tell(Q(result.m_strMessage));
        return false;
    }
    m_recent.Add(path);
    return true;
}

void CFileCommands::SaveChecked() {
    const QString path = m_prompts.AskSavePath(QString::fromUtf8(msg::kCheckedFilter), QString());
    if (path.isEmpty()) return;
    const CDocResult result = m_doc.SaveChecked(path.toStdString());
    if (!result.Ok()) m_prompts.Tell(Q(result.m_strMessage));
}

void CFileCommands::Merge(const QString& frameTitle) {
    if (m_doc.m_bModified) {
        const auto answer = m_prompts.Ask(frameTitle, QString::fromUtf8(msg::kSaveBeforeMerge),
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) return;
        if (answer == QMessageBox::Yes) Save(); // a failed or cancelled save does not stop the merge
    }
    const auto paths = m_prompts.AskMergePaths();
    if (!paths) return;
    const CDocResult result = m_doc.MergeFiles(paths->first.toStdString(), paths->second.toStdString());
    if (!result.Ok()) m_prompts.Tell(QString::fromUtf8(msg::kMergeFailed));
}

void CFileCommands::New() {
    if (SaveModified()) m_doc.NewDocument();
}

} // namespace pw
