#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace tessel {

class TfAdv;
class TfScales;
class TfTiltTempCal;
class WindowSet;

// The views of the window set's three option dialogs, made once at start-up in the order
// options, scales, calibration; they keep their contents between showings. Also the Help menu's
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
    // Throws std::runtime_error when there is no default printer.
    void printInstructions(const QString& mainCaption);
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
