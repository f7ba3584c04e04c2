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

    static void InitSettingsAndFonts(); // before any QSettings or font is used
    // Creates the frame, opens the named file, shows the frame maximised. False when the named file
    // could not be opened at all (the program ends, as a failed shell command did).
    // prompts: nullptr for the real dialogs.
    bool InitInstance(const QStringList& arguments, CShellPrompts* prompts = nullptr);

    CDEVAzazDoc& Document() { return m_doc; }
    CMainFrame* Frame() { return m_pFrame.get(); }

private:
    CDEVAzazDoc m_doc; // lives as long as the program
    std::unique_ptr<CMainFrame> m_pFrame;
};

} // namespace pw
