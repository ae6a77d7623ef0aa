// The window tests share one application object on Qt's offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Tessel");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
