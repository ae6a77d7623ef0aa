#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace tessel::win32 {

// The program's one message loop and what a job or a modal window asks of it. Keyboard input
// for one of the program's windows goes through the dialog manager first, so Tab and Shift+Tab
// move between its controls and the arrow keys within a radio group.
void dispatchMessage(MSG& message);
// Delivers every pending message and returns; a quit request is kept for the main loop.
void processPendingMessages();
// Waits, without using the processor, until there is input or a timer is due, then delivers it.
void waitForInput();
// Runs until the main window asks to quit; returns the exit code it gave.
int runMessageLoop();
// Runs until done() holds, or until the program is asked to quit (the request is kept).
void runModalLoop(const std::function<bool()>& done);

// The program's windows that take keyboard navigation (made by TopWindow).
void addNavigableWindow(HWND window);
void removeNavigableWindow(HWND window);

// While one window is modal to the program: every other enabled, visible window of the program
// is disabled, and enabled again (and the window that was active activated again) at the end.
class ProgramModal {
public:
    explicit ProgramModal(HWND modal);
    ~ProgramModal();
    ProgramModal(const ProgramModal&) = delete;
    ProgramModal& operator=(const ProgramModal&) = delete;

private:
    HWND modal_;
    HWND active_;
    std::vector<HWND> disabled_;
};

} // namespace tessel::win32
