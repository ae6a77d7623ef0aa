#pragma once

#include "app/LightBarBlock.h"
#include "jobs/ScriptedJobWindow.h"
#include "support/TempDir.h"

#include "app/AppSession.h"
#include "app/MainWindowModel.h"
#include "block/BlockText.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace tessel::testing {

// The main window's model on a virtual light bar, with an INI file of the test's choosing and a
// scripted job window.
struct MainWindowBench {
    TempDir dir;
    std::string iniPath = dir / "tessel.INI";
    ScriptedJobWindow window;
    std::unique_ptr<AppSession> session;
    std::unique_ptr<MainWindowModel> model;

    // comPort: the port the session starts with instead of the INI's (0: none); executable:
    // where the program is (default: beside the INI).
    explicit MainWindowBench(const std::string& ini, std::optional<int> comPort = std::nullopt,
                             const std::string& executable = {}) {
        writeFile(iniPath, ini);
        AppSession::Options options;
        options.executablePath = executable.empty() ? dir / "tessel" : executable;
        options.iniPath = iniPath;
        options.simulate = true;
        options.comPort = comPort;
        setEnvironment("XDG_DATA_HOME", dir / "data"); // the jobs' backups stay here
        session = std::make_unique<AppSession>(options, window);
        model = std::make_unique<MainWindowModel>(*session);
        model->windowShown();
    }

    VirtualLightBar& lightBar() { return session->virtualLightBar(); }
    ChipProgrammer& engine() { return session->engine(); }
    AppSettings& settings() { return session->settings(); }

    // Puts a record's block into the light bar's flash.
    void putRecord(const ConfigBlock& record) { testing::putRecord(lightBar(), record); }
    static ConfigBlock sampleRecord(int format, std::int32_t serial = 4711) {
        ConfigBlock r;
        r.format = format;
        r.serialNumber = serial;
        r.productName = "KD-7";
        r.option(SwitchOption::Tilt) = OptionState::Yes;
        return r;
    }
    bool enabled(std::string_view control) const { return model->isEnabled(control); }
    std::string text(std::string_view control) const { return model->text(control); }
    std::string ini() const { return readFile(iniPath); }
};

inline constexpr const char* kAdvancedIni = "[Configuration]\nAdvanced Options=1\nCOM Port=1\n";
inline constexpr const char* kPlainIni = "[Configuration]\nCOM Port=1\n";

} // namespace tessel::testing
