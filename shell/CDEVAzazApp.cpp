// Start-up order: settings and fonts, the frame with its panes, the command-line file, maximised show.
#include "shell/CDEVAzazApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

#include <cstdlib>

#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/ShellFonts.h"
#include "shell/ShellMessages.h"

namespace pw {

CDEVAzazApp::CDEVAzazApp() = default;
CDEVAzazApp::~CDEVAzazApp() = default;

void CDEVAzazApp::PrepareEnvironment() {
    // Qt's file dialogs show dates in the system locale's time format: Chinese, as the rest of the
    // window, unless the user forces one locale for everything.
    if (!std::getenv("LC_ALL")) ::setenv("LC_TIME", "zh_CN.UTF-8", 1);
}

void CDEVAzazApp::InitSettingsAndFonts() {
    QCoreApplication::setOrganizationName(QString::fromUtf8(msg::kSettingsKey));
    QCoreApplication::setApplicationName(QString::fromUtf8(msg::kAppTitle));
    InstallFontSubstitutions();
    InstallInterfaceFont();
    InstallQtTranslation();
}

bool CDEVAzazApp::InstallQtTranslation() {
    // Qt's own buttons and dialogs (Yes/No, the file dialogs) in Chinese, whatever the locale says;
    // with the Chinese locale the file dialog's dates and file types and the calendars' month and
    // day names follow.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), dir)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

bool CDEVAzazApp::InitInstance(const QStringList& arguments, CShellPrompts* prompts) {
    m_pFrame = std::make_unique<CMainFrame>(m_doc, prompts);
    if (m_pFrame->RestoreWindowState()) {
        m_pFrame->show(); // where and how large the user left it (maximised included)
    } else {
        // The first start: maximised, the list at a quarter, the single trace. Without a window manager
        // (a bare X server) maximising does nothing: start at the screen's size.
        if (const QScreen* screen = m_pFrame->screen()) m_pFrame->setGeometry(screen->availableGeometry());
        m_pFrame->showMaximized();
    }
    // Qt has taken its own options out already; the first remaining argument is the file to open.
    // Whatever it holds (a damaged file, a folder without idindx.par: an empty project), the window is
    // up first, and a message about the file appears over it.
    if (!arguments.isEmpty()) m_pFrame->Files().OpenPath(arguments.front());
    return true;
}

} // namespace pw
