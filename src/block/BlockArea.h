#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessel {

// The top 4 KB of the light bar's flash, from 0x1F000 to 0x1FFFF, as the program holds them.
// Erased bytes are 0xFF; a format 2 block starts at offset 0, a format 1 block at offset 2048.
inline constexpr std::uint32_t kBlockAreaBase = 0x1F000; // flash address of offset 0
inline constexpr std::size_t kBlockAreaSize = 4096;
inline constexpr std::size_t kFormat1Offset = 2048;
using BlockArea = std::array<std::uint8_t, kBlockAreaSize>;

// In every area the program holds, a byte withdrawn in flash (0x00) reads as this character.
inline constexpr char kWithdrawnChar = '~';

} // namespace tessel
