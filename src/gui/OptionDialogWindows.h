#pragma once

#include "app/WindowSet.h"

#include <QString>

#include <memory>
#include <string>

class QWidget;

namespace tessel {

class TfAdv;
class TfScales;
class TfTiltTempCal;

// The views of the window set's three option dialogs, made once at start-up in the order
// options, scales, calibration and attached to the set (which shows them, also at a field a
// collection stopped at); they keep their contents between showings. Also the Help menu's
// windows.
class OptionDialogWindows {
public:
    // parent: the window the Help menu's boxes belong to.
    OptionDialogWindows(WindowSet& windows, QWidget* parent);
    ~OptionDialogWindows();
    OptionDialogWindows(const OptionDialogWindows&) = delete;
    OptionDialogWindows& operator=(const OptionDialogWindows&) = delete;

    void showOptions();
    void showScales();
    void showTiltTempCal();
    void showInstructions();
    // The print dialog, or without a printer the system's message and the offer of a PDF file.
    void printInstructions(const QString& mainCaption);
    void showHistory();
    void showAbout();

    TfAdv& options() { return *adv_; }
    TfScales& scales() { return *scales_; }
    TfTiltTempCal& tiltTempCal() { return *tilt_; }

private:
    WindowSet& windows_;
    QWidget* parent_;
    std::unique_ptr<TfAdv> adv_;
    std::unique_ptr<TfScales> scales_;
    std::unique_ptr<TfTiltTempCal> tilt_;
};

} // namespace tessel
