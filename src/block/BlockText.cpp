#include "block/BlockText.h"

#include "block/BlockLabels.h"
#include "block/BlockLine.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tessel {

namespace {

constexpr std::size_t kFieldColumn = 25; // values end in this column

std::size_t findBytes(std::span<const std::uint8_t> text, std::size_t from,
                      std::string_view needle) {
    if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i)
        if (std::memcmp(text.data() + i, needle.data(), needle.size()) == 0) return i;
    return std::string_view::npos;
}

std::span<const std::uint8_t> firstArea(std::span<const std::uint8_t> text) {
    return text.first(std::min(text.size(), kBlockAreaSize));
}

// Writes block text into a fixed range and notes when it would run past it.
class TextWriter {
public:
    TextWriter(std::uint8_t* begin, std::uint8_t* end) : pos_(begin), end_(end) {}

    void put(std::string_view text) {
        if (text.empty()) return; // an empty view may carry no pointer at all
        if (overflow_ || text.size() > static_cast<std::size_t>(end_ - pos_)) {
            overflow_ = true;
            return;
        }
        std::memcpy(pos_, text.data(), text.size());
        pos_ += text.size();
    }
    void blanks(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            put(" ");
    }
    void endLine() { put("\r\n"); }
    void line(std::string_view text) {
        put(text);
        endLine();
    }
    // Label, colon and the value right-aligned to column 25.
    void field(std::string_view label, std::string_view value) {
        put(label);
        put(":");
        const std::size_t used = label.size() + 1 + value.size();
        if (used < kFieldColumn) blanks(kFieldColumn - used);
        put(value);
        endLine();
    }
    bool overflow() const { return overflow_; }
    std::uint8_t* position() const { return pos_; }

private:
    std::uint8_t* pos_;
    std::uint8_t* end_;
    bool overflow_ = false;
};

// A text value as a block may carry it: no "~" (it would read as withdrawn text in the light
// bar) and no byte that ends a line, cut to its field width.
std::string blockSafeText(std::string_view text, std::size_t maxLength) {
    std::string safe;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0xFF || c == kWithdrawnChar) continue;
        if (safe.size() == maxLength) break;
        safe.push_back(c);
    }
    return safe;
}

std::string_view switchText(OptionState state) {
    return state == OptionState::Yes ? labels::kYes : labels::kNo;
}

void renderTilt(TextWriter& out, const TiltCalibration& t) {
    for (const auto& member : fields::kTilt)
        out.field(member.label, numtext::decimal(member.get(t)));
}

void renderRow(TextWriter& out, std::string_view label, const ScaleRow& row) {
    if (row[0] == 0) return;
    out.put(label);
    out.put(":");
    for (auto value : row)
        out.put(numtext::decimal5(value));
    out.endLine();
}

} // namespace

BlockLocation locateBlock(std::span<const std::uint8_t> text) {
    text = firstArea(text);
    BlockLocation loc;
    const auto title = findBytes(text, 0, labels::kTitle);
    if (title == std::string_view::npos) return loc;
    loc.titleFound = true;
    loc.title = title;
    const auto end = findBytes(text, title + labels::kTitle.size(), labels::kEndMarker);
    if (end == std::string_view::npos) return loc;
    loc.endFound = true;
    loc.endMarker = end;
    loc.length = end - title + labels::kEndLineLength;
    loc.present = loc.length < kBlockAreaSize && loc.blockEnd() <= text.size();
    return loc;
}

bool renderBlock(const ConfigBlock& record, BlockArea& area) {
    area.fill(0xFF);
    const bool format2 = record.format == 2;
    const std::size_t start = format2 ? 0 : kFormat1Offset;
    // One byte stays free for the zero that follows the end marker.
    TextWriter out(area.data() + start, area.data() + area.size() - 1);

    out.line(labels::kTitle);
    if (format2) out.field(labels::kVcbFormat, "2");
    out.field(labels::kSerialNumber, numtext::decimal(record.serialNumber));
    const int customer =
        (record.customerId >= 0 && record.customerId < static_cast<int>(CustomerNames.size()))
            ? record.customerId
            : 0;
    out.field(labels::kCustomerId, numtext::decimal(customer));
    out.field(labels::kProductName, blockSafeText(record.productName, kProductNameMax));
    if (format2) out.line(labels::kOptionsSeparator);

    for (const auto& option : fields::kNumericOptions)
        if (!(record.*option.skip)) out.field(option.label, numtext::fixed3(record.*option.value));

    for (std::size_t i = 0; i < kSwitchCount; ++i)
        if (record.options[i] != OptionState::Skip)
            out.field(fields::kSwitches[i].label, switchText(record.options[i]));

    for (std::size_t i = 0; i < record.scaleNames.size(); ++i) {
        const std::string name = blockSafeText(record.scaleNames[i], kScaleNameLength + 1);
        if (name.size() == kScaleNameLength && name != "___" && name != "   ")
            out.field(labels::kScaleNames[i], name);
    }
    for (std::size_t i = 0; i < record.metricScales.size(); ++i)
        renderRow(out, labels::kMetricScales[i], record.metricScales[i]);
    for (std::size_t i = 0; i < record.englishScales.size(); ++i)
        renderRow(out, labels::kEnglishScales[i], record.englishScales[i]);

    if (record.option(SwitchOption::Tilt) == OptionState::Yes && record.isTiltCalibrationComplete())
        renderTilt(out, record.tiltCalibration);

    if (format2) out.line(labels::kClosingSeparator);
    out.line(labels::kEndMarker);

    if (out.overflow()) {
        area.fill(0xFF);
        return false;
    }
    *out.position() = 0x00; // the byte reserved above
    return true;
}

std::optional<std::uint64_t> findValue(std::span<const std::uint8_t> text, std::string_view label) {
    text = firstArea(text);
    const auto loc = locateBlock(text);
    if (!loc.present || label.empty()) return std::nullopt;
    const std::size_t from = loc.title + labels::kTitle.size() + 1;
    if (loc.endMarker < label.size()) return std::nullopt;
    const std::size_t until = loc.endMarker - label.size();
    std::size_t at = std::string_view::npos;
    for (std::size_t i = from; i < until; ++i)
        if (std::memcmp(text.data() + i, label.data(), label.size()) == 0) {
            at = i;
            break;
        }
    if (at == std::string_view::npos) return std::nullopt;

    LineBuffer line;
    for (std::size_t i = at; i < text.size() && text[i] != '\r' && !line.full(); ++i)
        line.push(static_cast<char>(text[i]));
    return digitsOf(valueWord(line.view()));
}

int blockFormatOf(std::span<const std::uint8_t> text) {
    const auto value = findValue(text, labels::kVcbFormat);
    return (!value || *value == 0) ? 1 : static_cast<int>(std::min<std::uint64_t>(*value, 1000));
}

std::int32_t blockSerialNumberOf(std::span<const std::uint8_t> text) {
    const auto value = findValue(text, labels::kSerialNumber);
    return value ? static_cast<std::int32_t>(static_cast<std::uint32_t>(*value)) : 0;
}

std::size_t removeWithdrawn(std::span<std::uint8_t> text, std::size_t length) {
    length = std::min(length, text.size());
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < length) {
        if (text[in] != kWithdrawnChar) {
            text[out++] = text[in++];
            continue;
        }
        while (in < length && text[in] == kWithdrawnChar)
            ++in;
        if (in + 1 < length && text[in] == '\r' && text[in + 1] == '\n') in += 2;
    }
    return out;
}

std::optional<BlockLocation> compactBlock(BlockArea& area) {
    const auto loc = locateBlock(area);
    if (!loc.present) return std::nullopt;
    std::memmove(area.data(), area.data() + loc.title, loc.length);
    const std::size_t length = removeWithdrawn(area, loc.length);
    std::fill(area.begin() + static_cast<std::ptrdiff_t>(length), area.end(), 0xFF);
    area[length] = 0x00; // length < 4096: the block was at most 4095 bytes
    return locateBlock(area);
}

} // namespace tessel
