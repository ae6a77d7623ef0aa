// The console's control events in place of signals: Ctrl+C as SIGINT, Ctrl+Break as SIGTERM, and
// a closed console window, a log-off or a shutdown (Windows has no SIGHUP) as SIGTERM too. The
// handler runs on a thread of its own.
#include "cli/StopSignals.h"
#include "support/Console.h"

#include "support/ResultCode.h"

#include <csignal>
#include <cstdlib>
#include <io.h>
#include <windows.h>

namespace tessel::stopsignals {

namespace {

BOOL WINAPI onControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT: stopRequested(SIGINT); return TRUE;
    case CTRL_BREAK_EVENT: stopRequested(SIGTERM); return TRUE;
    default:
        // The system ends the process once this returns (after some five seconds at most): the
        // job gets that long to cancel, release the lines and report.
        stopRequested(SIGTERM);
        for (int i = 0; i < 90 && jobRunning(); ++i) Sleep(50);
        restoreConsole(); // a console shared with other programs stays as they knew it
        return TRUE;
    }
}

} // namespace

void install() { SetConsoleCtrlHandler(onControl, TRUE); }

void endNow(int signal) {
    restoreConsole(); // _Exit runs no exit handlers
    std::_Exit(stoppedBy(signal));
}

void writeFromHandler(const char* text, std::size_t length) {
    [[maybe_unused]] const int n = _write(2, text, static_cast<unsigned>(length));
}

} // namespace tessel::stopsignals
