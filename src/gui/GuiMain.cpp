#include "gui/GuiMain.h"

#include "gui/TfStation.h"
#include "gui/WindowSession.h"
#include "jobs/ResultCode.h"

#include <QApplication>
#include <QMessageBox>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <memory>

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
    return runWindows(options);
}

int runWindows(const WindowOptions& options) {
    if (!options.stationProfile.empty()) return runStationWindow(options);
    std::unique_ptr<WindowSession> session;
    Outcome started;
    try {
        session = std::make_unique<WindowSession>(options);
    } catch (const StartupFailure& failure) {
        started = {failure.exitCode, failure.what()};
    } catch (const std::exception& e) {
        started = {result::Error, e.what()};
    }
    if (!started.ok()) {
        QMessageBox box(QMessageBox::Critical, "Tessel", QString::fromStdString(started.message),
                        QMessageBox::Ok);
        box.setObjectName("startupErrorBox");
        box.exec();
        return started.code;
    }
    session->mainWindow().show();
    return QApplication::exec();
}

} // namespace tessel
