#pragma once

#include "app/WindowSet.h"
#include "gui/OptionDialogWindows.h"
#include "gui/TfProgramChip.h"
#include "gui/TfVcbPrg.h"

#include <memory>

namespace tessel {

// What Qt's event loop offers a job: pending events delivered, or a wait for the next one.
WindowSet::MessagePump qtMessagePump();

// The Qt views over a window set: the main window, the job window and the option dialogs, each
// drawing its model and repainting when the set says it changed. The desktop session may not end
// the program while a job runs.
class WindowSession {
public:
    // windows: opened with qtMessagePump().
    explicit WindowSession(std::unique_ptr<WindowSet> windows);
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    WindowSet& windows() { return *windows_; }
    TfVcbPrg& mainWindow() { return *mainWindow_; }
    TfProgramChip& jobWindow() { return *jobWindow_; }
    MainWindowModel& model() { return windows_->mainWindow(); }
    JobWindowModel& jobModel() { return windows_->jobWindow(); }
    OptionDialogWindows& dialogs() { return *dialogs_; }
    AppSession& session() { return windows_->session(); }
    VirtualLightBar& virtualLightBar() { return windows_->session().virtualLightBar(); }

private:
    std::unique_ptr<WindowSet> windows_;
    std::unique_ptr<TfVcbPrg> mainWindow_;
    std::unique_ptr<TfProgramChip> jobWindow_;
    std::unique_ptr<OptionDialogWindows> dialogs_; // bound to the controls: gone first
};

} // namespace tessel
