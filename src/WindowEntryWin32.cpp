// The window's entry on Windows: the Win32 views over the window set (src/win32).
#include "gui/GuiMain.h"
#include "win32/TfStation.h"
#include "win32/Win32Session.h"

namespace tessel {

int runWindow(int, char**, const WindowOptions& options) {
    win32::leaveOwnConsole();
    if (!options.stationProfile.empty())
        return win32::runStationProgram(
            {.program = options.executablePath,
             .profilePath = options.stationProfile,
             .iniPath = options.iniPath,
             .simulationFolder = options.simulate ? options.simulateFile : std::string(),
             .autoStart = options.autoStart});
    return win32::runWin32Program(sessionOptions(options));
}

} // namespace tessel
