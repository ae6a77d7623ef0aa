// The window's entry elsewhere: the Qt windows (src/gui), on the display the environment names.
#include "WindowEntry.h"
#include "gui/GuiMain.h"

#include <cstdlib>
#include <iostream>

namespace tessel {

namespace {
bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}
} // namespace

ResultCode runWindow(int argc, char** argv, const AppSession::Options& options) {
    if (!named("DISPLAY") && !named("WAYLAND_DISPLAY") && !named("QT_QPA_PLATFORM")) {
        std::cerr << "tessel: no display to open the window on; run 'tessel --help' for the "
                     "command line.\n";
        return result::NoDisplay;
    }
    return runQtProgram(argc, argv, options);
}

} // namespace tessel
