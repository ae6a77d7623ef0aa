#pragma once

#include "app/AppSession.h"

#include <string>

namespace tessel {

class UsbAdapters;

// What the window takes from the command line.
struct WindowOptions {
    std::string executablePath; // decides where the INI and log files live
    std::string iniPath;        // --ini PATH (empty: beside the executable)
    bool simulate = false;      // --simulate[=FILE]: every COM port leads to the virtual light bar
    std::string simulateFile;   // its state, kept between runs
    UsbAdapters* usbAdapters = nullptr; // the system's USB adapters ("ftdi:" ports); null: none
    std::string stationProfile{}; // --station PROFILE: the production station's window instead
    bool autoStart = false;     // --auto: its bays start when they find a new light bar
};

// The session a window opens with these options.
inline AppSession::Options sessionOptions(const WindowOptions& options) {
    AppSession::Options o;
    o.executablePath = options.executablePath;
    o.iniPath = options.iniPath;
    o.simulate = options.simulate;
    o.simulateFile = options.simulateFile;
    o.usbAdapters = options.usbAdapters;
    return o;
}

// Exit code when there is no display to open the window on.
inline constexpr int kNoDisplayExitCode = 69;

// True when a display is named (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM).
bool displayAvailable();

// Settles the application object just made: the core's numbers keep their decimal point
// whatever locale Qt took from the user, and captions carry no " — Tessel" (no display name).
void prepareApplication();

// Opens the main window and runs until it closes. Without a display it prints one line and
// returns kNoDisplayExitCode.
int runWindow(int argc, char** argv, const WindowOptions& options);

// runWindow on an application object that exists: a start-up that fails shows its message in an
// error box and returns the command line's exit code for the same failure (65 for a virtual
// light bar state file that holds none), 1 for any other.
int runWindows(const WindowOptions& options);

} // namespace tessel
