#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessel {

// The light bar's code area as a flat byte image: flash addresses 0x00000 to 0x1EFFF. The block
// area above it (0x1F000..0x1FFFF) is never part of an image, so a firmware file cannot reach it.
// One image lives in the device engine and is reused by every HEX read, so it is a fixed buffer.
struct FirmwareImage {
    static constexpr std::size_t kSize = 0x1F000;
    // Erased flash reads 0xFF; a byte the file does not give keeps that value.
    static constexpr std::uint8_t kErased = 0xFF;
    // Programming and verifying stop this far past the last byte that holds code.
    static constexpr std::size_t kTail = 256;

    std::array<std::uint8_t, kSize> bytes;
    // Addresses 0 to length - 1 are programmed and verified.
    std::size_t length = kTail;

    FirmwareImage() { clear(); }

    // Erases every byte and resets the length, ready for the next file.
    void clear();
    // Recomputes length from the bytes: the highest address holding a byte other than 0xFF,
    // plus 256, at most kSize; 256 when every byte is 0xFF.
    void updateLength();
    // Whether any byte differs from 0xFF. An image without code must not be programmed: the
    // jobs would erase the light bar and write nothing back.
    bool holdsCode() const;
};

} // namespace tessel
