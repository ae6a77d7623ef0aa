#include "jobs/InPlaceUpdate.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace tessel {

namespace {

constexpr std::string_view kEndMarker = "< end >";
constexpr std::string_view kTitle = "< Veltrane Configuration Block >";
constexpr std::size_t kMaxLines = 500;
constexpr std::size_t kMaxLineLength = 99;
// The new end marker must leave room for itself and its CR LF: F may not pass 4085.
constexpr std::size_t kLastFreePosition = 4085;

struct Line {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool kept = false;
};

std::string_view textOf(const BlockArea& area, const Line& line) {
    return {reinterpret_cast<const char*>(area.data()) + line.offset, line.length};
}

bool isLineByte(std::uint8_t b) { return b >= 0x20 && b <= 0x7F; }

// Splits an area into its lines up to and including the end marker line. Returns the index of
// the end marker line, or nothing when the text cannot be carried exactly: the block parser keeps
// bytes 0x80..0xFE inside a line and takes any line that starts with "< end >" for the end, and
// the block is located by the first "< end >" anywhere after the title, so every such line must
// be exactly the end marker. Lines before the title are outside the block: a new line matched
// with one of them would be lost, so the title must come first.
std::optional<std::size_t> splitLines(const BlockArea& area, std::vector<Line>& lines) {
    lines.clear();
    std::size_t pos = 0;
    while (pos < area.size()) {
        const std::uint8_t b = area[pos];
        if (!isLineByte(b)) {
            if (b >= 0x80 && b != 0xFF) return std::nullopt;
            ++pos;
            continue;
        }
        Line line{pos, 0, false};
        while (pos < area.size() && isLineByte(area[pos])) {
            ++pos;
            ++line.length;
        }
        if (line.length > kMaxLineLength) return std::nullopt;
        if (lines.size() == kMaxLines) return std::nullopt;
        const std::string_view text = textOf(area, line);
        if (lines.empty() && text != kTitle) return std::nullopt;
        lines.push_back(line);
        if (text == kEndMarker) return lines.size() - 1;
        if (text.find(kEndMarker) != std::string_view::npos || kEndMarker.starts_with(text))
            return std::nullopt; // "<" or "x< end >" would end the block elsewhere
    }
    return std::nullopt;
}

// Between the old end marker line and the free position only line ends and withdrawn bytes may
// stand: anything else would become a line of the updated block.
bool onlyLineEndsOrWithdrawn(const BlockArea& area, std::size_t from, std::size_t to) {
    return std::all_of(area.begin() + static_cast<std::ptrdiff_t>(from),
                       area.begin() + static_cast<std::ptrdiff_t>(to), [](std::uint8_t b) {
                           return b == '\r' || b == '\n' || b == kWithdrawnChar;
                       });
}

} // namespace

bool inPlaceUpdate(BlockArea& newArea, const BlockArea& lightBar, BlockArea& work) {
    work = lightBar;

    std::vector<Line> newLines;
    std::vector<Line> oldLines;
    newLines.reserve(kMaxLines);
    oldLines.reserve(kMaxLines);
    if (!splitLines(newArea, newLines)) return false;
    const auto oldEnd = splitLines(work, oldLines);
    if (!oldEnd) return false;

    // The free position: the first erased byte after the light bar's end marker line.
    const Line oldEndLine = oldLines[*oldEnd];
    std::size_t free = oldEndLine.offset + oldEndLine.length;
    while (free < work.size() && work[free] != 0xFF) ++free;
    if (free >= work.size()) return false;
    if (!onlyLineEndsOrWithdrawn(work, oldEndLine.offset + oldEndLine.length, free)) return false;

    // Match each new line with the first identical old line.
    for (auto& n : newLines) {
        for (auto& o : oldLines) {
            if (o.length == n.length && textOf(work, o) == textOf(newArea, n)) {
                n.kept = o.kept = true;
                break;
            }
        }
    }

    for (const auto& o : oldLines)
        if (!o.kept) std::memset(work.data() + o.offset, '~', o.length);

    // Every byte appended must land on erased flash, or the written text would differ.
    auto appendLine = [&](std::string_view text) {
        const std::size_t need = text.size() + 2;
        if (free + need > work.size()) return false;
        if (!std::all_of(work.begin() + static_cast<std::ptrdiff_t>(free),
                         work.begin() + static_cast<std::ptrdiff_t>(free + need),
                         [](std::uint8_t b) { return b == 0xFF; }))
            return false;
        std::memcpy(work.data() + free, text.data(), text.size());
        work[free + text.size()] = '\r';
        work[free + text.size() + 1] = '\n';
        free += need;
        return true;
    };

    // Appended text must start a line of its own: after a zero byte left behind the old end
    // marker it would otherwise be glued to a withdrawn character and read as another label.
    bool lineStart = work[free - 1] == '\n';
    auto startLine = [&] {
        if (lineStart) return true;
        if (free + 2 > work.size() || work[free] != 0xFF || work[free + 1] != 0xFF) return false;
        work[free++] = '\r';
        work[free++] = '\n';
        lineStart = true;
        return true;
    };

    std::size_t lineCount = oldLines.size();
    for (const auto& n : newLines) {
        if (n.kept) continue;
        if (++lineCount >= kMaxLines) return false;
        if (!startLine() || !appendLine(textOf(newArea, n))) return false;
    }

    if (free > kLastFreePosition) return false;
    if (oldEndLine.offset + oldEndLine.length + 2 != free) {
        if (!startLine() || !appendLine(kEndMarker)) return false;
        std::memset(work.data() + oldEndLine.offset, '~', oldEndLine.length);
    }

    newArea = work;
    return true;
}

} // namespace tessel
