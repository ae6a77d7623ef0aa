#include "jobs/InPlaceUpdate.h"

#include "block/BlockLabels.h"
#include "block/BlockLine.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace tessel {

namespace {

using labels::kEndMarker;
using labels::kTitle;
// The new end marker must leave room for the light bar's reading to end inside the area.
constexpr std::size_t kLastFreePosition = kBlockAreaSize - labels::kEndReadLength;

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
        if (line.length > kMaxCarriedLineLength) return std::nullopt;
        if (lines.size() == kMaxBlockLines) return std::nullopt;
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

// The free position: the first erased byte after the light bar's end marker line, with only
// line ends or withdrawn bytes before it.
std::optional<std::size_t> freePosition(const BlockArea& work, const Line& oldEndLine) {
    const std::size_t endLineEnd = oldEndLine.offset + oldEndLine.length;
    std::size_t free = endLineEnd;
    while (free < work.size() && work[free] != 0xFF) ++free;
    if (free >= work.size() || !onlyLineEndsOrWithdrawn(work, endLineEnd, free)) return std::nullopt;
    return free;
}

// Matches each new line with the first identical old line; withdraws the old lines left over.
void keepMatchingLines(const BlockArea& newArea, std::vector<Line>& newLines, BlockArea& work,
                       std::vector<Line>& oldLines) {
    for (auto& n : newLines) {
        for (auto& o : oldLines) {
            if (o.length == n.length && textOf(work, o) == textOf(newArea, n)) {
                n.kept = o.kept = true;
                break;
            }
        }
    }
    for (const auto& o : oldLines)
        if (!o.kept) std::memset(work.data() + o.offset, kWithdrawnChar, o.length);
}

// Appends lines at the free position. Every byte appended must land on erased flash, or the
// written text would differ.
class Appender {
public:
    Appender(BlockArea& work, std::size_t free)
        : work_(work), free_(free), lineStart_(work[free - 1] == '\n') {}

    std::size_t free() const { return free_; }

    // Appended text must start a line of its own: after a zero byte left behind the old end
    // marker it would otherwise be glued to a withdrawn character and read as another label.
    bool appendLine(std::string_view text) { return startLine() && append(text); }

private:
    bool erasedAhead(std::size_t n) const {
        return free_ + n <= work_.size() &&
               std::all_of(work_.begin() + static_cast<std::ptrdiff_t>(free_),
                           work_.begin() + static_cast<std::ptrdiff_t>(free_ + n),
                           [](std::uint8_t b) { return b == 0xFF; });
    }
    bool startLine() {
        if (lineStart_) return true;
        if (!erasedAhead(2)) return false;
        work_[free_++] = '\r';
        work_[free_++] = '\n';
        lineStart_ = true;
        return true;
    }
    bool append(std::string_view text) {
        if (!erasedAhead(text.size() + 2)) return false;
        std::memcpy(work_.data() + free_, text.data(), text.size());
        free_ += text.size();
        work_[free_++] = '\r';
        work_[free_++] = '\n';
        return true;
    }

    BlockArea& work_;
    std::size_t free_;
    bool lineStart_;
};

} // namespace

bool inPlaceUpdate(BlockArea& newArea, const BlockArea& lightBar, BlockArea& work) {
    work = lightBar;

    std::vector<Line> newLines;
    std::vector<Line> oldLines;
    newLines.reserve(kMaxBlockLines);
    oldLines.reserve(kMaxBlockLines);
    if (!splitLines(newArea, newLines)) return false;
    const auto oldEnd = splitLines(work, oldLines);
    if (!oldEnd) return false;
    const Line oldEndLine = oldLines[*oldEnd];
    const auto free = freePosition(work, oldEndLine);
    if (!free) return false;

    keepMatchingLines(newArea, newLines, work, oldLines);

    Appender out(work, *free);
    std::size_t lineCount = oldLines.size();
    for (const auto& n : newLines) {
        if (n.kept) continue;
        if (++lineCount >= kMaxBlockLines) return false;
        if (!out.appendLine(textOf(newArea, n))) return false;
    }

    if (out.free() > kLastFreePosition) return false;
    if (oldEndLine.offset + oldEndLine.length + 2 != out.free()) {
        if (!out.appendLine(kEndMarker)) return false;
        std::memset(work.data() + oldEndLine.offset, kWithdrawnChar, oldEndLine.length);
    }

    newArea = work;
    return true;
}

} // namespace tessel
