#pragma once

#include "block/BlockArea.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace tessel::testutil {

// The text at an offset of an area, up to its zero byte (or the area's end).
inline std::string textAt(const BlockArea& area, std::size_t offset) {
    std::string text;
    for (std::size_t i = offset; i < area.size() && area[i] != 0; ++i)
        text.push_back(static_cast<char>(area[i]));
    return text;
}

// An erased area holding the text at the offset (cut at the area's end).
inline BlockArea areaWith(std::string_view text, std::size_t offset = 0) {
    BlockArea area;
    area.fill(0xFF);
    const std::size_t n = std::min(text.size(), area.size() - offset);
    std::copy_n(text.begin(), n, area.begin() + static_cast<std::ptrdiff_t>(offset));
    return area;
}

// Joins lines with CR LF after each.
inline std::string crlf(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace tessel::testutil
