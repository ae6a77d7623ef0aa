// The window's entry for a build without Qt (Windows, cross-built here): the command line only.
#include "gui/GuiMain.h"

#include <iostream>

namespace tessel {

int runWindow(int, char**, const WindowOptions&) {
    std::cerr << "tessel: this build has no window; run 'tessel --help' for the command line.\n";
    return 64;
}

} // namespace tessel
