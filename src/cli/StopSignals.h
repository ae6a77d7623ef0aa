#pragma once

#include <cstddef>
#include <string>

namespace tessel::stopsignals {

// How the command line is stopped from outside: Ctrl+C, SIGTERM and SIGHUP (on Windows the
// console's control events in their place).
//
// Before and after a job any of them ends the program at once: no light bar is being worked on.
// While a job runs, the first one is the job's Cancel: the job aborts at its next abort test
// (inside the rewrite of the light bar's block only once the block is verified), releases the
// lines and writes its report. SIGTERM and SIGHUP then make the program exit with their stop
// code (stoppedBy in ResultCode.h: 128 + the signal's number). A further stop ends the program at
// once, except while the block is being rewritten (it waits for the block, as the Cancel does);
// first it writes one line, prepared before, that says what the light bar holds and names the
// backups.

// Installs the handlers (main does, once).
void install();

// A job starts (true) or has ended (false).
void setJobRunning(bool running);
bool jobRunning();
// The light bar's block is being rewritten: stops wait.
void setRewriting(bool rewriting);
// The line written before the program ends at once (without its line end). Prepared here,
// outside the handler, which only writes it.
void setStopLine(const std::string& line);

// Tests and clears the Cancel a stop asked for.
bool takeCancel();
// The signal that asked the program to stop and exit with stoppedBy(it) (SIGTERM, SIGHUP; a
// Ctrl+C only cancels); 0 when none came.
int stopSignal();

// The handlers' common part: what one stop does. Platform files call it.
void stopRequested(int signal);
// Ends the program at once, as the signal's default action would.
[[noreturn]] void endNow(int signal);
// Writes text to standard error from a handler: write(2) only.
void writeFromHandler(const char* text, std::size_t length);

} // namespace tessel::stopsignals
