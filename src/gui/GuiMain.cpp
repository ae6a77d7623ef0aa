#include "gui/GuiMain.h"

#include "gui/WindowSession.h"

#include <QApplication>
#include <QMessageBox>

#include <clocale>
#include <cstdlib>
#include <iostream>

namespace tessel {

#ifndef _WIN32
namespace {
bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}
} // namespace
#endif

bool displayAvailable() {
#ifdef _WIN32
    return true; // a Windows session always has its desktop
#else
    return named("DISPLAY") || named("WAYLAND_DISPLAY") || named("QT_QPA_PLATFORM");
#endif
}

void prepareApplication() {
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Tessel");
}

int runWindow(int argc, char** argv, const WindowOptions& options) {
    if (!displayAvailable()) {
        std::cerr << "tessel: no display to open the window on; run 'tessel --help' for the "
                     "command line.\n";
        return kNoDisplayExitCode;
    }
    QApplication app(argc, argv);
    prepareApplication();
    try {
        WindowSession session(options);
        session.mainWindow().show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "Tessel", QString::fromStdString(e.what()));
        return 0;
    }
}

} // namespace tessel
