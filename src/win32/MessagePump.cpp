#include "win32/MessagePump.h"

#include <algorithm>
#include <set>

namespace tessel::win32 {

namespace {

std::set<HWND>& navigableWindows() {
    static std::set<HWND> windows;
    return windows;
}

// Takes the next message; false when there is none. A quit request is put back and ends the
// caller's loop as if nothing were pending.
bool nextMessage(MSG& message, bool& quit) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        quit = true;
        return false;
    }
    return true;
}

} // namespace

void addNavigableWindow(HWND window) {
    navigableWindows().insert(window);
}
void removeNavigableWindow(HWND window) {
    navigableWindows().erase(window);
}

void dispatchMessage(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && navigableWindows().contains(root) && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void processPendingMessages() {
    MSG message;
    bool quit = false;
    while (nextMessage(message, quit))
        dispatchMessage(message);
}

void waitForInput() {
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    processPendingMessages();
}

int runMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatchMessage(message);
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

void runModalLoop(const std::function<bool()>& done) {
    MSG message;
    while (!done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatchMessage(message);
    }
}

ProgramModal::ProgramModal(HWND modal) : modal_(modal), active_(GetActiveWindow()) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM self) -> BOOL {
            auto* me = reinterpret_cast<ProgramModal*>(self);
            if (window != me->modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
                EnableWindow(window, FALSE);
                me->disabled_.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
}

ProgramModal::~ProgramModal() {
    // Enabled before the modal window goes, so the system can activate them again.
    for (HWND window : disabled_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    if (active_ && IsWindow(active_) && IsWindowEnabled(active_) && IsWindowVisible(active_))
        SetActiveWindow(active_);
}

} // namespace tessel::win32
