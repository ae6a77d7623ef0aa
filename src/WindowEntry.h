#pragma once

#include "app/AppSession.h"
#include "support/ResultCode.h"

namespace tessel {

// Opens the main window on the session the command line asked for and runs until it closes;
// returns the exit code (a start-up that cannot go on: the command line's code for it). Each
// platform has its own: the Qt windows (WindowEntryPosix.cpp), the Win32 views
// (WindowEntryWin32.cpp).
ResultCode runWindow(int argc, char** argv, const AppSession::Options& options);

} // namespace tessel
