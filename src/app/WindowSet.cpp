#include "app/WindowSet.h"

#include "app/Instructions.h"
#include "app/WindowLayout.h"

namespace tessel {

std::unique_ptr<AppSession> WindowSet::openSession(AppSession::Options options,
                                                   JobWindow& jobWindow) {
    auto session = std::make_unique<AppSession>(std::move(options), jobWindow);
    if (const Outcome started = session->startOutcome(); !started.ok())
        throw StartupFailure(started);
    return session;
}

WindowSet::WindowSet(AppSession::Options options, MessagePump pump)
    : jobWindow_([this] { return session_ && session_->advancedMode(); },
                 std::move(pump.processMessages), std::move(pump.waitForInput)),
      session_(openSession(std::move(options), jobWindow_)),
      mainWindow_(std::make_unique<MainWindowModel>(*session_)), options_(session_->host()),
      scales_(session_->host()),
      tilt_(session_->host(), session_->engine(), [this] { return mainWindow_->applyComPort(); }) {
    options_.setFormContents();
    scales_.setFormContents();
    // The views repaint whenever their models change, also in the middle of a job.
    jobWindow_.setOnChanged([this] {
        if (views_.jobWindowChanged) views_.jobWindowChanged();
    });
    controlsObserver_ = controls().addObserver(
        [this](const std::vector<std::string>&) {
            if (views_.mainWindowChanged) views_.mainWindowChanged();
        });
    mainWindow_->setChangeListener([this] { mainWindowChanged(); });
}

WindowSet::~WindowSet() {
    controls().removeObserver(controlsObserver_);
    mainWindow_->setChangeListener(nullptr);
    jobWindow_.setOnChanged(nullptr);
    session_->saveSimulatedState();
}

void WindowSet::mainWindowChanged() {
    if (views_.mainWindowChanged) views_.mainWindowChanged();
    if (views_.jobWindowChanged) views_.jobWindowChanged();
    // The virtual light bar is kept after every command, never in the middle of a job.
    if (!mainWindow_->busy()) session_->saveSimulatedState();
}

void WindowSet::showDialog(Dialog dialog, const std::function<void()>& runModal) {
    if (mainWindow_->busy()) return;
    runModal();
    if (dialog == Dialog::Options) options_.closed();
}


std::optional<WindowSet::FieldFocus> WindowSet::takeFieldFocus() {
    const std::optional<std::string> control = mainWindow_->takeStoppedField();
    if (!control) return std::nullopt;
    FieldFocus focus{std::nullopt, *control};
    if (optionsDialogLayout().declares(*control)) focus.dialog = Dialog::Options;
    else if (scalesDialogLayout().declares(*control)) focus.dialog = Dialog::Scales;
    else if (tiltCalibrationLayout().declares(*control)) focus.dialog = Dialog::TiltTempCal;
    return focus;
}

std::string WindowSet::historyText(std::size_t lastJobs) const {
    const std::string& path = session_->historyPath();
    const HistoryFile file = readHistory(path);
    if (!file.readable) return path + " cannot be read.\n";
    if (file.records.empty()) return "No jobs recorded yet in " + path + ".\n";
    std::string text;
    const std::size_t from = file.records.size() > lastJobs ? file.records.size() - lastJobs : 0;
    for (std::size_t i = from; i < file.records.size(); ++i)
        text += describeRecord(file.records[i]) + "\n";
    return text;
}

std::string WindowSet::instructionsBody() const {
    return tessel::instructionsBody(session_->programName());
}

} // namespace tessel
