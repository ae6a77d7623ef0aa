#include "gui/WindowSession.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QEventLoop>
#include <QSessionManager>


namespace tessel {

namespace {
AppSession::Options sessionOptions(const WindowOptions& options) {
    AppSession::Options o;
    o.executablePath = options.executablePath;
    o.iniPath = options.iniPath;
    o.simulate = options.simulate;
    o.simulateFile = options.simulateFile;
    o.usbAdapters = options.usbAdapters;
    return o;
}
} // namespace

WindowSession::WindowSession(const WindowOptions& options)
    : jobModel_([this] { return session_ && session_->advancedMode(); },
                [] { QCoreApplication::processEvents(); },
                // A question waits for the next input without using the processor.
                [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }),
      session_(std::make_unique<AppSession>(sessionOptions(options), jobModel_)) {
    if (const Outcome started = session_->startOutcome(); !started.ok())
        throw StartupFailure(started);
    model_ = std::make_unique<MainWindowModel>(*session_);
    mainWindow_ = std::make_unique<TfVcbPrg>(*model_);
    jobWindow_ = std::make_unique<TfProgramChip>(jobModel_);
    dialogs_ = std::make_unique<OptionDialogWindows>(*session_, *model_, mainWindow_.get());
    mainWindow_->setDialogs(dialogs_.get());
    // The views repaint whenever their models change, also in the middle of a job.
    jobModel_.setOnChanged([this] { jobWindow_->refresh(); });
    controlsObserver_ = session_->host().controls().addObserver(
        [this](const std::vector<std::string>&) { mainWindow_->refresh(); });
    model_->setChangeListener([this] {
        repaint();
        if (!model_->busy()) session_->saveSimulatedState();
    });
    // The desktop session may not end the program in the middle of a job.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, mainWindow_.get(),
                     [this](QSessionManager& manager) {
                         if (model_->busy()) manager.cancel();
                     });
}

WindowSession::~WindowSession() {
    session_->host().controls().removeObserver(controlsObserver_);
    jobModel_.setOnChanged(nullptr);
    session_->saveSimulatedState();
}

void WindowSession::repaint() {
    if (mainWindow_) mainWindow_->refresh();
    if (jobWindow_) jobWindow_->refresh();
}

} // namespace tessel
