#pragma once

#include "app/WindowSet.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tessel::win32 {

class TfAdv;
class TfScales;
class TfTiltTempCal;

// The views of the window set's three option dialogs, made once at start-up in the order
// options, scales, calibration and attached to the set (which shows them, also at a field a
// collection stopped at); they keep their contents between showings. Also the Help menu's
// windows.
class DialogWindows {
public:
    // owner: the main window, which the dialogs stay above.
    DialogWindows(WindowSet& windows, HWND owner);
    ~DialogWindows();
    DialogWindows(const DialogWindows&) = delete;
    DialogWindows& operator=(const DialogWindows&) = delete;

    void showOptions();
    void showScales();
    void showTiltTempCal();
    void showInstructions();
    // Throws std::runtime_error when there is no default printer.
    void printInstructions(const std::string& mainCaption);
    void showHistory();
    void showAbout();

    TfAdv& options() { return *adv_; }
    TfScales& scales() { return *scales_; }
    TfTiltTempCal& tiltTempCal() { return *tilt_; }

private:
    WindowSet& windows_;
    HWND owner_;
    std::unique_ptr<TfAdv> adv_;
    std::unique_ptr<TfScales> scales_;
    std::unique_ptr<TfTiltTempCal> tilt_;
};

} // namespace tessel::win32
