#include <QApplication>
#include <gtest/gtest.h>
#include "ui/app/Fonts.h"

int main(int argc, char** argv) {
    // CTest sets the platform; a direct run from a terminal without a display works too.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Tests close main windows without a running loop; that must not end anything.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyProgramFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
