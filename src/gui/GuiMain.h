#pragma once

#include "app/AppSession.h"

namespace tessel {

// Settles the application object just made: the core's numbers keep their decimal point
// whatever locale Qt took from the user, and captions carry no " — Tessel" (no display name).
void prepareApplication();

// Makes the application object and runs the windows until the main window closes.
ResultCode runQtProgram(int argc, char** argv, const AppSession::Options& options);

// runQtProgram on an application object that exists: a start-up that fails shows its message in
// an error box and returns the command line's exit code for the same failure (78, 14, 65).
ResultCode runWindows(const AppSession::Options& options);

} // namespace tessel
