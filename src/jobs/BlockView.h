#pragma once

#include "block/BlockArea.h"
#include "block/BlockText.h"

#include <cstdint>

namespace tessel {

// Flash address of area offset 0: the block area mirrors flash 0x1F000..0x1FFFF.
inline constexpr std::uint32_t kBlockAreaBase = 0x1F000;

// A withdrawn character is a zero byte in flash and "~" in every area the engine holds.
inline constexpr std::uint8_t toFlashByte(std::uint8_t b) { return b == kWithdrawnChar ? 0x00 : b; }
inline constexpr std::uint8_t fromFlashByte(std::uint8_t b) { return b == 0x00 ? kWithdrawnChar : b; }

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
