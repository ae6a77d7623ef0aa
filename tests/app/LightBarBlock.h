#pragma once

#include "block/BlockText.h"
#include "block/ConfigBlock.h"
#include "sim/VirtualLightBar.h"

#include <cstdint>

namespace tessel::testing {

// Puts a record's block into the light bar's flash (0x1F000 on), where the block jobs find it.
inline void putRecord(VirtualLightBar& bar, const ConfigBlock& record) {
    BlockArea area;
    renderBlock(record, area);
    for (std::size_t i = 0; i < area.size(); ++i)
        bar.setFlashByte(0x1F000 + static_cast<std::uint32_t>(i), area[i]);
}

// A light bar's block as the window tests use it: format, serial number, product name "KD-7".
inline ConfigBlock unitRecord(int format, std::int32_t serial) {
    ConfigBlock r;
    r.format = format;
    r.serialNumber = serial;
    r.productName = "KD-7";
    return r;
}

} // namespace tessel::testing
