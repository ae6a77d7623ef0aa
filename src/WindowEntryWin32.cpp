// The window's entry on Windows: the Win32 views over the window set (src/win32).
#include "WindowEntry.h"
#include "win32/TfStation.h"
#include "win32/Win32Session.h"

namespace tessel {

ResultCode runWindow(int, char**, const AppSession::Options& options) {
    win32::leaveOwnConsole();
    if (!options.stationProfile.empty()) return win32::runStationProgram(options);
    return win32::runWin32Program(options);
}

} // namespace tessel
