#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/IspInstructions.h"
#include "link/IspPort.h"
#include "link/PortSettings.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

namespace tessel {

using Instruction = std::array<std::uint8_t, 4>;

// The whole link on virtual time: a virtual light bar behind the port and the instructions.
struct VirtualBench {
    VirtualClock clock{1'000'000};
    MemoryPortSettings settings;
    VirtualLightBar bar{clock};
    JobResult result; // the job result the port reports its failures to
    IspPort port{bar, clock, settings, &result};
    std::vector<std::string> lines; // what the instructions reported
    IspInstructions isp{port, [this](const std::string& line) { lines.push_back(line); }};

    // Opens the port and enters programming mode, then forgets what the chip saw so far.
    void enterProgramming() {
        port.open();
        isp.programmingEnable();
        bar.clearInstructions();
    }

    // The instructions the chip received that begin with the given byte.
    std::vector<Instruction> sent(std::uint8_t first) const {
        std::vector<Instruction> out;
        for (const auto& i : bar.instructions())
            if (i[0] == first) out.push_back(i);
        return out;
    }
};

} // namespace tessel
