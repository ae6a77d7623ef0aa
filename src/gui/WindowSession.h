#pragma once

#include "app/IniPortSettings.h"
#include "app/MainWindowModel.h"
#include "gui/GuiMain.h"
#include "gui/TfProgramChip.h"
#include "gui/TfVcbPrg.h"
#include "jobs/ChipProgrammer.h"
#include "jobs/JobWindowModel.h"
#include "link/PosixSerial.h"
#include "sim/VirtualLightBar.h"
#include "support/AppSettings.h"
#include "support/Clock.h"
#include "support/ProgramServices.h"

#include <memory>

namespace tessel {

// Everything the windows run on, created in start-up order: the program services and settings,
// the back end (a real port or the virtual light bar), the record host, the job window, the
// engine, the main window's model and both windows. Ending it terminates the services (unless
// the INI file is read-only) and keeps the virtual light bar's state.
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
    VirtualLightBar& virtualLightBar() { return virtualBar_; }
    ProgramServices& services() { return services_; }

private:
    void repaint();
    void saveVirtualLightBar();

    WindowOptions options_;
    ProgramServices services_;
    AppSettings settings_;
    bool iniReadOnly_;
    IniPortSettings ports_;
    VirtualClock virtualClock_;
    VirtualLightBar virtualBar_;
    PosixSerial posix_;
    SteadyClock steady_;
    RecordHost host_;
    JobWindowModel jobModel_;
    ChipProgrammer engine_;
    std::unique_ptr<MainWindowModel> model_;
    std::unique_ptr<TfVcbPrg> mainWindow_;
    std::unique_ptr<TfProgramChip> jobWindow_;
};

} // namespace tessel
