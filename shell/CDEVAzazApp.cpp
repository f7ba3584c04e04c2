// Start-up order: settings and fonts, the frame with its panes, the command-line file, maximised show.
#include "shell/CDEVAzazApp.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QScreen>

#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/ShellFonts.h"
#include "shell/ShellMessages.h"

namespace pw {

CDEVAzazApp::CDEVAzazApp() = default;
CDEVAzazApp::~CDEVAzazApp() = default;

void CDEVAzazApp::InitSettingsAndFonts() {
    QCoreApplication::setOrganizationName(QString::fromUtf8(msg::kSettingsKey));
    QCoreApplication::setApplicationName(QString::fromUtf8(msg::kAppTitle));
    InstallFontSubstitutions();
}

bool CDEVAzazApp::InitInstance(const QStringList& arguments, CShellPrompts* prompts) {
    m_pFrame = std::make_unique<CMainFrame>(m_doc, prompts);
    // Qt has taken its own options out already; the first remaining argument is the file to open.
    if (!arguments.isEmpty()) {
        const QString path = arguments.front();
        m_pFrame->Files().OpenPath(path);
        if (m_doc.GetPileCount() == 0 && !QFileInfo(path).isDir()) return false;
    }
    // Without a window manager (a bare X server) maximising does nothing: start at the screen's size.
    if (const QScreen* screen = m_pFrame->screen()) m_pFrame->setGeometry(screen->availableGeometry());
    m_pFrame->showMaximized();
    return true;
}

} // namespace pw
