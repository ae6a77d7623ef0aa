#include "gui/OptionDialogWindows.h"

#include "app/WindowSet.h"
#include "gui/InstructionsWindow.h"
#include "gui/TfAboutWindow.h"
#include "gui/TfAdv.h"
#include "gui/TfHistory.h"
#include "gui/TfScales.h"
#include "gui/TfTiltTempCal.h"

namespace tessel {

// Windows of their own, not children of the main window: they live as long as it does and are
// centred on the screen when shown.
OptionDialogWindows::OptionDialogWindows(WindowSet& windows, QWidget* parent)
    : windows_(windows), parent_(parent),
      adv_(std::make_unique<TfAdv>(windows.options(), windows.controls())),
      scales_(std::make_unique<TfScales>(windows.scales(), windows.controls())),
      tilt_(std::make_unique<TfTiltTempCal>(windows.tiltCalibration(), windows.controls())) {
    const auto modal = [](FixedDialog* view) {
        return [view](std::string_view field) { view->runModal(std::string(field)); };
    };
    windows_.attachDialogs({modal(adv_.get()), modal(scales_.get()), modal(tilt_.get())});
}

OptionDialogWindows::~OptionDialogWindows() { windows_.attachDialogs({}); }

void OptionDialogWindows::showOptions() { windows_.showDialog(WindowSet::Dialog::Options); }
void OptionDialogWindows::showScales() { windows_.showDialog(WindowSet::Dialog::Scales); }
void OptionDialogWindows::showTiltTempCal() { windows_.showDialog(WindowSet::Dialog::TiltTempCal); }

void OptionDialogWindows::showInstructions() {
    tessel::showInstructions(parent_, windows_.session().programName());
}

void OptionDialogWindows::printInstructions(const QString& mainCaption) {
    printInstructionsFromMenu(parent_, mainCaption, windows_.instructionsBody());
}

void OptionDialogWindows::showHistory() {
    TfHistory history(windows_.historyText(), parent_);
    history.exec();
}

void OptionDialogWindows::showAbout() {
    const ProgramServices& services = windows_.session().services();
    TfAboutWindow::showAbout(services.versionInfo(), services.files().iniPath,
                             windows_.session().webSiteAddress(), parent_);
}

} // namespace tessel
