#include "win32/Win32Session.h"

#include "win32/MessagePump.h"

#include <commctrl.h>

namespace tessel::win32 {

WindowSet::MessagePump win32MessagePump() {
    return {processPendingMessages, waitForInput};
}

void leaveOwnConsole() {
    DWORD processes[2];
    if (GetConsoleWindow() && GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

Win32Session::Win32Session(std::unique_ptr<WindowSet> windows)
    : windows_(std::move(windows)), mainWindow_(std::make_unique<TfVcbPrg>(*windows_)),
      jobWindow_(std::make_unique<TfProgramChip>(windows_->jobWindow(), mainWindow_->hwnd())),
      dialogs_(std::make_unique<DialogWindows>(*windows_, mainWindow_->hwnd())) {
    mainWindow_->setDialogs(dialogs_.get());
    windows_->attachViews({[this] { mainWindow_->refresh(); }, [this] { jobWindow_->refresh(); }});
}

Win32Session::~Win32Session() {
    windows_->attachViews({});
}

ResultCode runWin32Program(AppSession::Options options) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    WindowSet::Opened opened = WindowSet::open(std::move(options), win32MessagePump());
    if (!opened.windows) {
        showErrorBox(nullptr, opened.outcome.message);
        return opened.outcome.code;
    }
    Win32Session session(std::move(opened.windows));
    session.mainWindow().show();
    return static_cast<ResultCode>(runMessageLoop());
}

} // namespace tessel::win32
