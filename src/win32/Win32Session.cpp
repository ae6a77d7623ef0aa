#include "win32/Win32Session.h"

#include "jobs/ResultCode.h"
#include "win32/MessagePump.h"

#include <commctrl.h>

namespace tessel::win32 {

namespace {

WindowSet::MessagePump win32Pump() {
    return {processPendingMessages, waitForInput};
}

} // namespace

void leaveOwnConsole() {
    DWORD processes[2];
    if (GetConsoleWindow() && GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

Win32Session::Win32Session(AppSession::Options options)
    : windows_(std::move(options), win32Pump()), mainWindow_(std::make_unique<TfVcbPrg>(windows_)),
      jobWindow_(std::make_unique<TfProgramChip>(windows_.jobWindow(), mainWindow_->hwnd())),
      dialogs_(std::make_unique<DialogWindows>(windows_, mainWindow_->hwnd())) {
    mainWindow_->setDialogs(dialogs_.get());
    windows_.attachViews({[this] { mainWindow_->refresh(); }, [this] { jobWindow_->refresh(); }});
}

Win32Session::~Win32Session() {
    windows_.attachViews({});
}

int runWin32Program(AppSession::Options options) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    std::unique_ptr<Win32Session> session;
    Outcome started;
    try {
        session = std::make_unique<Win32Session>(std::move(options));
    } catch (const StartupFailure& failure) {
        started = {failure.exitCode, failure.what()};
    } catch (const std::exception& e) {
        started = {result::Error, e.what()};
    }
    if (!started.ok()) {
        showErrorBox(nullptr, started.message);
        return started.code;
    }
    session->mainWindow().show();
    return runMessageLoop();
}

} // namespace tessel::win32
