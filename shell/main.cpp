// pilewave: the desktop program.
#include <QApplication>

#include "shell/CDEVAzazApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    pw::CDEVAzazApp::InitSettingsAndFonts();
    pw::CDEVAzazApp theApp;
    if (!theApp.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}
