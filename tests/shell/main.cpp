// GoogleTest entry with a QApplication on the offscreen platform; settings go to a scratch folder.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "shell/CDEVAzazApp.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); // recent files must not touch the user's list
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", config.path().toUtf8());
    qputenv("PILEWAVE_DATA_DIR", PILEWAVE_DATA); // the report template of this build
    qunsetenv("LC_ALL"); // as a user who does not force one locale for everything
    pw::CDEVAzazApp::PrepareEnvironment();
    QApplication app(argc, argv);
    pw::CDEVAzazApp::InitSettingsAndFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
