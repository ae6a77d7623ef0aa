#include "block/BlockLabels.h"
#include "block/BlockLine.h"
#include "block/BlockText.h"

#include <algorithm>
#include <cstring>

namespace tessel {

namespace {

constexpr std::size_t kConvertPartMax = 49;

// The text before the first colon (a line holds no control characters), at most 49.
std::string_view labelOf(std::string_view line) {
    return line.substr(0, std::min(line.find(':'), kConvertPartMax));
}

// The whole value after the first colon: leading blanks and colons skipped, the rest of the
// line kept as it is, so a scale row keeps all eight numbers and a name its trailing blank.
std::string_view valueOf(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    const auto start = line.find_first_not_of(" :", colon);
    return start == std::string_view::npos ? std::string_view{} : line.substr(start);
}

std::string_view renamedLabel(std::string_view label, int targetFormat) {
    if (targetFormat == 1) {
        if (label == labels::kDisplayModeF2) return labels::kDisplayModeF1;
        if (label == labels::kDisplayBaudF2) return labels::kDisplayBaudF1;
    } else {
        if (label == labels::kDisplayModeF1) return labels::kDisplayModeF2;
        if (label == labels::kDisplayBaudF1) return labels::kDisplayBaudF2;
    }
    return label;
}

class AreaAppender {
public:
    AreaAppender(BlockArea& area, std::size_t start) : area_(area), pos_(start) {}
    void put(std::string_view text) {
        if (text.empty()) return; // an empty view may carry no pointer at all
        // One byte stays free after the text, for the zero a format 1 write adds.
        if (overflow_ || text.size() > area_.size() - 1 - pos_) {
            overflow_ = true;
            return;
        }
        std::memcpy(area_.data() + pos_, text.data(), text.size());
        pos_ += text.size();
    }
    bool overflow() const { return overflow_; }

private:
    BlockArea& area_;
    std::size_t pos_;
    bool overflow_ = false;
};

} // namespace

bool convertText(std::span<const std::uint8_t> source, int targetFormat, BlockArea& area) {
    area.fill(0xFF);
    if (targetFormat != 1 && targetFormat != 2) return false;
    source = source.first(std::min(source.size(), kBlockAreaSize));

    AreaAppender out(area, targetFormat == 1 ? kFormat1Offset : 0);
    out.put(labels::kTitle);
    out.put("\r\n");
    if (targetFormat == 2) out.put("VCB Format: 2\r\n");

    LineReader reader(source, 0);
    BasicLineBuffer<kMaxCarriedLineLength> line;
    while (reader.next(line)) {
        const std::string_view label = labelOf(line.view());
        if (!label.empty() && label[0] == '<') continue; // title and end marker
        // The target's own format line is written above; a carried one would contradict it.
        if (label == labels::kVcbFormat) continue;
        out.put(renamedLabel(label, targetFormat));
        out.put(": ");
        out.put(valueOf(line.view()));
        out.put("\r\n");
    }
    out.put(labels::kEndMarker);
    out.put("\r\n");

    if (out.overflow()) {
        area.fill(0xFF);
        return false;
    }
    // Like a rendered block, the text ends with a zero byte (the room was kept free).
    area[locateBlock(area).blockEnd()] = 0x00;
    return true;
}

} // namespace tessel
