// The window's entry on Windows: the Win32 views over the window set (src/win32).
#include "gui/GuiMain.h"
#include "win32/Win32Session.h"

namespace tessel {

int runWindow(int, char**, const WindowOptions& options) {
    win32::leaveOwnConsole();
    return win32::runWin32Program(sessionOptions(options));
}

} // namespace tessel
