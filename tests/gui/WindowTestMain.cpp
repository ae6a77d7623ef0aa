// The window tests share one application object on Qt's offscreen platform, under a
// decimal-comma locale.
#include "gui/GuiMain.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A decimal-comma locale, which Qt makes the program's own: the windows must not follow it.
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    QApplication app(argc, argv);
    tessel::prepareApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
