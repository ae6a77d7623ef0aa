#include "gui/OptionDialogWindows.h"

#include "app/AppSession.h"
#include "app/MainWindowModel.h"
#include "gui/InstructionsWindow.h"
#include "gui/TfAboutWindow.h"
#include "gui/TfAdv.h"
#include "gui/TfScales.h"
#include "gui/TfTiltTempCal.h"

namespace tessel {

OptionDialogWindows::OptionDialogWindows(AppSession& session, MainWindowModel& mainModel,
                                         QWidget* parent)
    : session_(session), parent_(parent), optionsModel_(session.host()),
      scalesModel_(session.host()),
      tiltModel_(session.host(), session.engine(), [&mainModel] { return mainModel.applyComPort(); }) {
    ControlValues& values = session.host().controls();
    optionsModel_.setFormContents();
    scalesModel_.setFormContents();
    // Windows of their own, not children of the main window: they live as long as it does and
    // are centred on the screen when shown.
    adv_ = std::make_unique<TfAdv>(optionsModel_, values);
    scales_ = std::make_unique<TfScales>(scalesModel_, values);
    tilt_ = std::make_unique<TfTiltTempCal>(tiltModel_, values);
}

OptionDialogWindows::~OptionDialogWindows() = default;

void OptionDialogWindows::showOptions() { adv_->runModal(); }
void OptionDialogWindows::showScales() { scales_->runModal(); }
void OptionDialogWindows::showTiltTempCal() { tilt_->runModal(); }
void OptionDialogWindows::showInstructions() { tessel::showInstructions(parent_); }

void OptionDialogWindows::printInstructions(const QString& mainCaption) {
    printInstructionsOnDefaultPrinter(mainCaption);
}

void OptionDialogWindows::showAbout() {
    TfAboutWindow::showAbout(session_.services().versionInfo(), session_.services().files().iniPath,
                             parent_);
}

} // namespace tessel
