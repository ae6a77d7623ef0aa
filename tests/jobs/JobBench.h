#pragma once

#include "ScriptedJobWindow.h"

#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <string>

namespace tessel::testing {

// A virtual light bar on virtual time behind the engine, a scripted job window and a Qt-free
// block host: everything a job touches, inspectable afterwards.
struct JobBench {
    VirtualClock clock;
    VirtualLightBar lightBar{clock};
    MemoryPortSettings settings;
    ScriptedJobWindow window;
    RecordHost host{true};
    ChipProgrammer engine{lightBar, clock, settings, window, host};

    static constexpr std::uint32_t kBlockBase = 0x1F000;

    // Puts a block area into the light bar's flash as it would stand there ("~" as 0x00).
    void putBlockArea(const BlockArea& area) {
        for (std::size_t i = 0; i < area.size(); ++i)
            lightBar.setFlashByte(kBlockBase + static_cast<std::uint32_t>(i),
                                  area[i] == '~' ? 0x00 : area[i]);
    }
    BlockArea flashBlockArea() const {
        BlockArea area;
        for (std::size_t i = 0; i < area.size(); ++i)
            area[i] = lightBar.flashByte(kBlockBase + static_cast<std::uint32_t>(i));
        return area;
    }
    // Renders a record into the light bar's block area.
    void putRecord(const ConfigBlock& record) {
        BlockArea area;
        renderBlock(record, area);
        putBlockArea(area);
    }
    static ConfigBlock sampleRecord(int format = 2, std::int32_t serial = 314159) {
        ConfigBlock r;
        r.format = format;
        r.serialNumber = serial;
        r.productName = "KD-7";
        r.option(SwitchOption::ScalesDisplay) = OptionState::Yes;
        r.option(SwitchOption::Tilt) = OptionState::No;
        return r;
    }
    std::string flashText(std::uint32_t from, std::size_t n) const {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(lightBar.flashByte(from + static_cast<std::uint32_t>(i)));
        return s;
    }
};

} // namespace tessel::testing
