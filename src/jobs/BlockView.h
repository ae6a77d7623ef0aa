#pragma once

#include "block/BlockArea.h"
#include "block/BlockText.h"
#include "firmware/FirmwareImage.h"
#include "link/Atmega128.h"

#include <cstdint>

namespace tessel {

// The block area is the top of the chip's flash, right above the code area.
static_assert(kBlockAreaBase + kBlockAreaSize == atmega128::kFlashBytes);
static_assert(FirmwareImage::kSize == kBlockAreaBase);
static_assert(kBlockAreaBase % atmega128::kPageBytes == 0);

// A withdrawn character is a zero byte in flash and "~" in every area the engine holds.
inline constexpr std::uint8_t toFlashByte(std::uint8_t b) { return b == kWithdrawnChar ? 0x00 : b; }
inline constexpr std::uint8_t fromFlashByte(std::uint8_t b) { return b == 0x00 ? kWithdrawnChar : b; }

// Where a block sits inside one block area, with the format and serial number found in it.
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
