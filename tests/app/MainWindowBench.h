#pragma once

#include "jobs/ScriptedJobWindow.h"
#include "support/TempDir.h"

#include "app/IniPortSettings.h"
#include "app/MainWindowModel.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "sim/VirtualLightBar.h"
#include "support/AppSettings.h"
#include "support/IniStore.h"
#include "support/VersionInfo.h"

#include <memory>
#include <string>

namespace tessel::testing {

// The main window's model on a virtual light bar, with an INI file of the test's choosing and a
// scripted job window.
struct MainWindowBench {
    TempDir dir;
    std::string iniPath = dir / "tessel.INI";
    std::unique_ptr<IniStore> store;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<IniPortSettings> ports;
    VersionInfo version{VersionInfo::builtIn()};
    VirtualClock clock;
    VirtualLightBar lightBar{clock};
    ScriptedJobWindow window;
    std::unique_ptr<RecordHost> host;
    std::unique_ptr<ChipProgrammer> engine;
    std::unique_ptr<MainWindowModel> model;

    explicit MainWindowBench(const std::string& ini) {
        writeFile(iniPath, ini);
        store = std::make_unique<IniStore>(iniPath);
        settings = std::make_unique<AppSettings>(*store);
        ports = std::make_unique<IniPortSettings>(*settings);
        host = std::make_unique<RecordHost>(advancedModeFromSettings(*settings),
                                            settings->serialNumber());
        engine = std::make_unique<ChipProgrammer>(lightBar, clock, *ports, window, *host);
        model = std::make_unique<MainWindowModel>(*engine, *host, *settings, version,
                                                  settings->iniFileIsReadOnly());
        model->windowShown();
    }

    // Puts a record's block into the light bar's flash.
    void putRecord(const ConfigBlock& record) {
        BlockArea area;
        renderBlock(record, area);
        for (std::size_t i = 0; i < area.size(); ++i)
            lightBar.setFlashByte(0x1F000 + static_cast<std::uint32_t>(i), area[i]);
    }
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
