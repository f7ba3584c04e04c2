// The help menu and the tools menu: the About box shows the program's own version, the calculator is
// found among the desktop's, and the web site item opens a configured address or is not there.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "PilewaveVersion.h"
#include "ShellFixtures.h"
#include "shell/CAboutDlg.h"
#include "shell/CCommandRouter.h"
#include "shell/CMainFrame.h"
#include "shell/DesktopTools.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

TEST(AboutBox, ShowsTheVersionTheProgramPrints) {
    CAboutDlg about;
    QStringList lines;
    for (const QLabel* label : about.findChildren<QLabel*>())
        lines << label->text();
    EXPECT_TRUE(lines.contains(QStringLiteral("版本号 V") + QStringLiteral(PILEWAVE_VERSION))) << lines.join('|').toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("版本号 V4.0")));
}

// Each calculator is found when it is the only one on PATH.
TEST(Calculator, EachKnownCalculatorIsFound) {
    const QByteArray path = qgetenv("PATH");
    for (const char* name :
         {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-qt", "qalculate-gtk", "xcalc"}) {
        SCOPED_TRACE(name);
        QTemporaryDir bin;
        QFile program(bin.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", bin.path().toUtf8());
        EXPECT_EQ(FindCalculator(), program.fileName());
    }
    qputenv("PATH", path);
}

// Without an address there is no item that opens nothing; a configured one shows the item.
TEST(WebSite, TheItemIsThereOnlyWithAnAddress) {
    QSettings().remove(QStringLiteral("Settings/WebSite"));
    const QString built = QStringLiteral(PILEWAVE_HOMEPAGE);
    EXPECT_EQ(WebSiteAddress(), built);
    {
        CDEVAzazDoc doc;
        test::CScriptedPrompts prompts;
        CMainFrame frame{doc, &prompts};
        EXPECT_EQ(frame.Router().Action(cmd::kWebSite)->isVisible(), !built.isEmpty());
    }
    QSettings().setValue(QStringLiteral("Settings/WebSite"), QStringLiteral("https://example.org/piles"));
    EXPECT_EQ(WebSiteAddress(), QStringLiteral("https://example.org/piles"));
    {
        CDEVAzazDoc doc;
        test::CScriptedPrompts prompts;
        CMainFrame frame{doc, &prompts};
        EXPECT_TRUE(frame.Router().Action(cmd::kWebSite)->isVisible());
    }
    QSettings().remove(QStringLiteral("Settings/WebSite"));
}

} // namespace
} // namespace pw
