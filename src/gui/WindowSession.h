#pragma once

#include "app/AppSession.h"
#include "app/MainWindowModel.h"
#include "gui/GuiMain.h"
#include "gui/TfProgramChip.h"
#include "gui/TfVcbPrg.h"
#include "jobs/JobWindowModel.h"

#include <memory>

namespace tessel {

// The windows on an application session, made in start-up order: the job window's model (the
// engine reports into it), the session (services, settings, engine, record), the main window's
// model and both windows. Ending it keeps the virtual light bar's state and ends the session
// (which terminates the services unless the INI file is read-only).
class WindowSession {
public:
    explicit WindowSession(const WindowOptions& options);
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    TfVcbPrg& mainWindow() { return *mainWindow_; }
    TfProgramChip& jobWindow() { return *jobWindow_; }
    MainWindowModel& model() { return *model_; }
    JobWindowModel& jobModel() { return jobModel_; }
    AppSession& session() { return *session_; }
    VirtualLightBar& virtualLightBar() { return session_->virtualLightBar(); }

private:
    void repaint();

    JobWindowModel jobModel_;
    std::unique_ptr<AppSession> session_;
    std::unique_ptr<MainWindowModel> model_;
    std::unique_ptr<TfVcbPrg> mainWindow_;
    std::unique_ptr<TfProgramChip> jobWindow_;
    std::size_t controlsObserver_ = 0;
};

} // namespace tessel
