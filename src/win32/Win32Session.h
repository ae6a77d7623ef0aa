#pragma once

#include "app/WindowSet.h"
#include "win32/DialogWindows.h"
#include "win32/TfProgramChip.h"
#include "win32/TfVcbPrg.h"

#include <memory>

namespace tessel::win32 {

// What the program's message loop offers a job: pending messages delivered, or a wait for input.
WindowSet::MessagePump win32MessagePump();

// The Win32 views over a window set: the main window, the job window and the option dialogs,
// made in that order, each drawing its model and repainting when the set says it changed. Jobs
// run on this thread and let the program's messages through at least every 50 ms of job time.
class Win32Session {
public:
    // windows: opened with win32MessagePump().
    explicit Win32Session(std::unique_ptr<WindowSet> windows);
    ~Win32Session();
    Win32Session(const Win32Session&) = delete;
    Win32Session& operator=(const Win32Session&) = delete;

    WindowSet& windows() { return *windows_; }
    TfVcbPrg& mainWindow() { return *mainWindow_; }
    TfProgramChip& jobWindow() { return *jobWindow_; }
    DialogWindows& dialogs() { return *dialogs_; }

private:
    std::unique_ptr<WindowSet> windows_;
    std::unique_ptr<TfVcbPrg> mainWindow_;
    std::unique_ptr<TfProgramChip> jobWindow_;
    std::unique_ptr<DialogWindows> dialogs_; // owned by the main window: gone first
};

// Opens the main window and runs the program's message loop until it closes. A start-up that
// fails shows its message in the standard error box and returns the command line's exit code
// for the same failure (78, 14, 65).
ResultCode runWin32Program(AppSession::Options options);

// A console made for this program alone (Tessel.com started from Explorer) is not kept open
// behind the window; one it shares with a command prompt stays.
void leaveOwnConsole();

} // namespace tessel::win32
