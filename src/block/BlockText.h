#pragma once

#include "block/BlockArea.h"
#include "block/ConfigBlock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tessel {

// Where a block sits in an area: the title line, the first end marker after it, and whether
// the whole block (end marker and its CR LF included) lies inside the area.
struct BlockLocation {
    bool titleFound = false;
    bool endFound = false;
    std::size_t title = 0;     // offset of "< Veltrane Configuration Block >"
    std::size_t endMarker = 0; // offset of the first "< end >" after the title
    std::size_t length = 0;    // endMarker - title + 9 (end marker and CR LF)
    bool present = false;

    std::size_t blockEnd() const { return title + length; }
};

// Finds the block in the first 4096 bytes of a text. A block is present only when both markers
// are found, in order, its length is below 4096 and it ends inside the area: a block whose end
// marker lies in the area's last nine bytes would reach past flash address 0x1FFFF.
BlockLocation locateBlock(std::span<const std::uint8_t> text);

// Renders the record as block text: the area is filled with 0xFF, the text written at offset 0
// (format 2) or 2048 (format 1 or 0) and closed by "< end >", CR LF and one zero byte.
// A text that would not fit (with its zero byte) leaves the whole area 0xFF, so the area holds
// no block, and returns false. Text values never carry "~" or control characters into a block.
bool renderBlock(const ConfigBlock& record, BlockArea& area);

// Fills the record from a block text (at most its first 4096 bytes are read): the reset before
// parsing, then every recognised line after the title, up to the first end marker.
void parseBlock(std::span<const std::uint8_t> text, ConfigBlock& record,
                std::int32_t serialNumberDefault = kDefaultSerialNumber);

// The digits of the value on the first line carrying the label inside a present block; used
// for "VCB Format" and "S/N". No value when no block is present or the label is absent.
std::optional<std::uint64_t> findValue(std::span<const std::uint8_t> text, std::string_view label);
// findValue for "VCB Format", 1 when not found or 0.
int blockFormatOf(std::span<const std::uint8_t> text);
// findValue for "S/N", 0 when not found (low 32 bits of the digits).
std::int32_t blockSerialNumberOf(std::span<const std::uint8_t> text);

// Rewrites a (compacted) block text in the other format into the area, closed like a rendered
// block by a zero byte. Returns false, with the area all 0xFF, when the target format is not
// 1 or 2 or the result would not fit.
bool convertText(std::span<const std::uint8_t> source, int targetFormat, BlockArea& area);

// Removes every run of "~" together with a CR LF that directly follows it, from the first
// `length` bytes of the text; returns the new length (the bytes after it are left as they were).
std::size_t removeWithdrawn(std::span<std::uint8_t> text, std::size_t length);

// Compacts the block located in the area: moves it to offset 0, removes withdrawn text, puts a
// zero byte after it and fills the rest with 0xFF. Returns the new location, or nothing (area
// unchanged) when no block is present.
std::optional<BlockLocation> compactBlock(BlockArea& area);

} // namespace tessel
