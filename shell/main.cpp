// pilewave: the desktop program.
#include <QApplication>

#include <cstdio>
#include <cstring>

#include "PilewaveVersion.h"
#include "shell/CDEVAzazApp.h"

namespace {

// --help and --version answer before the window system is touched, so they work without a display.
bool AnswerInformationOptions(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("pilewave %s\n", PILEWAVE_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("用法: pilewave [文件]\n"
                        "反射波基桩动测仪数据处理软件 %s\n\n"
                        "  文件        要打开的数据文件（.wvf），或测试仪文件夹中的任一文件\n"
                        "  --help      显示本帮助\n"
                        "  --version   显示版本\n\n"
                        "Usage: pilewave [FILE]   FILE: a project file (.wvf) or any file of a tester folder.\n"
                        "The command-line twin is pilewave-cli.\n",
                        PILEWAVE_VERSION);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (AnswerInformationOptions(argc, argv)) return 0;
    pw::CDEVAzazApp::PrepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(PILEWAVE_VERSION));
    pw::CDEVAzazApp::InitSettingsAndFonts();
    pw::CDEVAzazApp theApp;
    if (!theApp.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}
