// The application object: settings, fonts, the one document, the main frame, and start-up from the
// command line (an optional file to open, nothing else).
#pragma once

#include <QStringList>

#include <memory>

#include "core/CDEVAzazDoc.h"

namespace pw {

class CMainFrame;
class CShellPrompts;

class CDEVAzazApp {
public:
    CDEVAzazApp();
    ~CDEVAzazApp();

    // Settings names, fonts and Qt's Chinese translation; before any QSettings, font or dialog is used.
    // Before the QApplication exists: the environment Qt reads its system locale from.
    static void PrepareEnvironment();
    static void InitSettingsAndFonts();
    // qtbase_zh_CN.qm from Qt's translations folder (package qt6-translations-l10n); false when missing.
    static bool InstallQtTranslation();
    // Creates the frame, opens the named file (a file that cannot be read leaves an empty project and
    // a message), shows the frame maximised. prompts: nullptr for the real dialogs.
    bool InitInstance(const QStringList& arguments, CShellPrompts* prompts = nullptr);

    CDEVAzazDoc& Document() { return m_doc; }
    CMainFrame* Frame() { return m_pFrame.get(); }

private:
    CDEVAzazDoc m_doc; // lives as long as the program
    std::unique_ptr<CMainFrame> m_pFrame;
};

} // namespace pw
