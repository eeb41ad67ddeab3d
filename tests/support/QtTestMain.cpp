#include "platform/MessageBox.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

// Every GUI test program runs offscreen, with settings and user fonts in a folder of its own, so no
// test touches a user's configuration (gtest_discover_tests runs the binary outside ctest's environment).
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", (home.path() + "/run").toLocal8Bit().constData(), 1);
    // A screen of a common desktop size rather than the platform's small default, so the main window
    // starts where a user's would.
    if (std::string(std::getenv("QT_QPA_PLATFORM")) == "offscreen") {
        const QString config = home.path() + "/screens.json";
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit().constData(), 1);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brennix");
    QApplication::setOrganizationName("Oskeld free chess software");
    ::testing::InitGoogleTest(&argc, argv);
    // A box or dialog that a test did not script is answered, never shown: no test can hang on one.
    MessageBoxScript unscriptedBoxes;
    DialogScript unscriptedDialogs;
    return RUN_ALL_TESTS();
}
