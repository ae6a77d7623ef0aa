#pragma once

#include "block/BlockArea.h"
#include "block/BlockText.h"

#include <cstdint>

namespace tessel {

// Where a block sits inside one 4096-byte area, with the format and serial number found in it.
struct BlockView {
    BlockArea area{};
    BlockLocation location;
    int format = 1;                // "VCB Format" of the area, 1 when absent
    std::int32_t serialNumber = 0; // "S/N" of the area, 0 when absent

    bool present() const { return location.present; }
    // Finds the markers again and re-reads format and serial number from the whole area.
    void locate();
    // The text from the title to the block end.
    std::span<const std::uint8_t> blockText() const {
        return {area.data() + location.title, location.length};
    }
};

} // namespace tessel
