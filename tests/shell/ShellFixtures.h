// Shell test helpers: scripted answers instead of dialogs, and small projects written in code.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/CDEVAzazDoc.h"
#include "shell/CShellPrompts.h"

namespace pw::test {

// Answers come from the queues; what the shell showed is recorded. An empty queue answers Cancel.
class CScriptedPrompts : public CShellPrompts {
public:
    CScriptedPrompts() : CShellPrompts(nullptr) {}
    void Tell(const QString& text, QMessageBox::Icon) override { m_Told << text; }
    QMessageBox::StandardButton Ask(const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons) override;
    std::optional<int> AskInt(const QString& title, int value) override;
    QString AskOpenPath(const QString&) override { return Pop(m_Paths); }
    QString AskSavePath(const QString&, const QString& suggested) override {
        m_SaveSuggestions << suggested;
        return Pop(m_Paths);
    }
    std::optional<std::pair<QString, QString>> AskMergePaths() override;
    QString AskFolder(const QString& title) override {
        m_FolderTitles << title;
        return Pop(m_Paths);
    }
    // The next scripted hand runs the dialog: it is shown, the hand fills its controls and presses a
    // button (PressOk), and what the dialog returned comes back. No hand left: Cancel.
    int RunDialog(QDialog& dialog) override;
    static int PressOk(QDialog& dialog);

    QStringList m_Told, m_Asked, m_IntTitles, m_SaveSuggestions, m_FolderTitles;
    std::deque<QMessageBox::StandardButton> m_Answers;
    std::deque<std::optional<int>> m_Ints;
    std::deque<QString> m_Paths;
    int m_nMergeDialogs = 0;
    std::deque<std::function<int(QDialog&)>> m_Hands;
    QStringList m_DialogTitles;

private:
    static QString Pop(std::deque<QString>& q);
};

struct CPileDescription {
    std::string name;
    float length = 10.f;
    int speed = 3800;
    bool checked = false;
};

// A version-3 project file of records named as given (pile numbers 1..N), in dir. Returns its path.
QString WriteProject(const QTemporaryDir& dir, const std::string& fileName,
                     const std::vector<CPileDescription>& piles);

} // namespace pw::test
