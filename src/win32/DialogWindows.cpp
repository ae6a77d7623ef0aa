#include "win32/DialogWindows.h"

#include "app/WindowSet.h"
#include "win32/InstructionsBox.h"
#include "win32/TfAboutWindow.h"
#include "win32/TfAdv.h"
#include "win32/TfHistory.h"
#include "win32/TfScales.h"
#include "win32/TfTiltTempCal.h"

namespace tessel::win32 {

DialogWindows::DialogWindows(WindowSet& windows, HWND owner)
    : windows_(windows), owner_(owner),
      adv_(std::make_unique<TfAdv>(windows.options(), windows.controls(), owner)),
      scales_(std::make_unique<TfScales>(windows.scales(), windows.controls(), owner)),
      tilt_(std::make_unique<TfTiltTempCal>(windows.tiltCalibration(), windows.controls(), owner)) {
    const auto modal = [](TopWindow* view) {
        return [view](std::string_view field) { view->runModal(field); };
    };
    windows_.attachDialogs({modal(adv_.get()), modal(scales_.get()), modal(tilt_.get())});
}

DialogWindows::~DialogWindows() { windows_.attachDialogs({}); }

void DialogWindows::showOptions() { windows_.showDialog(WindowSet::Dialog::Options); }
void DialogWindows::showScales() { windows_.showDialog(WindowSet::Dialog::Scales); }
void DialogWindows::showTiltTempCal() { windows_.showDialog(WindowSet::Dialog::TiltTempCal); }

void DialogWindows::showInstructions() {
    InstructionsBox::show(owner_, windows_.session().programName());
}

void DialogWindows::printInstructions(const std::string& mainCaption) {
    win32::printInstructions(owner_, mainCaption, windows_.instructionsBody());
}

void DialogWindows::showHistory() {
    TfHistory::show(windows_.historyText(), owner_);
}

void DialogWindows::showAbout() {
    const ProgramServices& services = windows_.session().services();
    TfAboutWindow::showAbout(services.versionInfo(), services.files().iniPath,
                             windows_.session().webSiteAddress(), owner_);
}

} // namespace tessel::win32
