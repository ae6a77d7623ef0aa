#include "app/WindowSet.h"

#include "app/Instructions.h"
#include "app/WindowLayout.h"

namespace tessel {

WindowSet::Opened WindowSet::open(AppSession::Options options, MessagePump pump) {
    std::unique_ptr<WindowSet> windows(new WindowSet(std::move(pump)));
    windows->session_ = std::make_unique<AppSession>(std::move(options), windows->jobWindow_);
    if (Outcome started = windows->session_->startOutcome(); !started.ok())
        return {nullptr, std::move(started)};
    windows->makeModels();
    return {std::move(windows), {}};
}

WindowSet::WindowSet(MessagePump pump)
    : jobWindow_([this] { return session_ && session_->advancedMode(); },
                 std::move(pump.processMessages), std::move(pump.waitForInput)) {}

void WindowSet::makeModels() {
    RecordHost& host = session_->host();
    mainWindow_ = std::make_unique<MainWindowModel>(*session_);
    options_ = std::make_unique<OptionsDialogModel>(host);
    scales_ = std::make_unique<ScalesDialogModel>(host);
    tilt_ = std::make_unique<TiltCalibrationModel>(host, session_->engine(),
                                                   [this] { return mainWindow_->applyComPort(); });
    options_->setFormContents();
    scales_->setFormContents();
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
    if (!mainWindow_) return; // a session that did not start keeps nothing
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

void WindowSet::showDialog(Dialog dialog, std::string_view focusField) {
    if (mainWindow_->busy()) return;
    const ModalLoop& view = dialog == Dialog::Options  ? dialogs_.options
                            : dialog == Dialog::Scales ? dialogs_.scales
                                                       : dialogs_.tiltTempCal;
    if (view) view(focusField);
    if (dialog == Dialog::Options) options_->closed();
}

bool WindowSet::showField(const std::string& control) {
    for (const auto& [dialog, layout] : {std::pair{Dialog::Options, optionsDialogLayout()},
                                         std::pair{Dialog::Scales, scalesDialogLayout()},
                                         std::pair{Dialog::TiltTempCal, tiltCalibrationLayout()}})
        if (layout.declares(control)) {
            showDialog(dialog, control);
            return true;
        }
    return false;
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
