#include "firmware/FirmwareId.h"

#include <algorithm>
#include <charconv>
#include <numeric>
#include <optional>
#include <string_view>

namespace tessel {

namespace {

constexpr std::string_view kMarker = "<Veltrane Inc. Firmware ID>";
constexpr std::string_view kEnd = "<end>";
// A value this long or longer does not fit the record's text and counts as empty.
constexpr std::size_t kLongestValue = 79;

struct SumEntry {
    unsigned sum;
    const char* version;
    int format;
};
// Older firmware carries no identification block; its first kilobyte's byte sum names it.
constexpr SumEntry kKnownSums[] = {
    {80558, "v2.0", 1},  {81792, "v1.8", 1},  {83391, "v1.9", 1},  {83469, "v1.7", 1},
    {126868, "B2.2", 2}, {126982, "v2.1", 2}, {127186, "A2.2", 2},
};

std::optional<std::size_t> findFrom(std::string_view text, std::string_view what,
                                    std::size_t from) {
    if (from > text.size()) return std::nullopt;
    const auto at = text.find(what, from);
    return at == std::string_view::npos ? std::nullopt : std::optional(at);
}

bool endsValue(char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == ':' || c == '<' || u < 0x20 || u >= 0x7F;
}

// The value that follows key inside the block: up to the next ":", "<" or non-printable
// character. Empty when the key is absent or the value is too long.
std::string_view valueOf(std::string_view block, std::string_view key) {
    const auto at = block.find(key);
    if (at == std::string_view::npos) return {};
    const auto rest = block.substr(at + key.size());
    const auto length =
        static_cast<std::size_t>(std::find_if(rest.begin(), rest.end(), endsValue) - rest.begin());
    return length > kLongestValue ? std::string_view{} : rest.substr(0, length);
}

// The decimal number at the start of a value ("2", "2 (new)"); 0 when it has none.
int leadingNumber(std::string_view value) {
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    int number = 0;
    const auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
    return parsed.ec == std::errc{} && number >= 0 ? number : 0;
}

} // namespace

FirmwareId identify(std::span<const std::uint8_t, kIdentifiedBytes> code) {
    FirmwareId id;
    const std::string_view text(reinterpret_cast<const char*>(code.data()), code.size());

    const auto marker = findFrom(text, kMarker, 0);
    // The end is searched from one character past the marker.
    const auto end = marker ? findFrom(text, kEnd, *marker + kMarker.size() + 1) : std::nullopt;
    if (marker && end) {
        const auto blockStart = *marker + kMarker.size();
        const auto block = text.substr(blockStart, *end - blockStart);
        id.product = valueOf(block, ":product:");
        id.version = valueOf(block, ":version:");
        id.requiredFormat = leadingNumber(valueOf(block, ":VCB Format:"));
        id.date = valueOf(block, ":date:");
        return id;
    }

    const unsigned sum = std::accumulate(code.begin(), code.end(), 0u);
    const auto known = std::find_if(std::begin(kKnownSums), std::end(kKnownSums),
                                    [sum](const SumEntry& e) { return e.sum == sum; });
    if (known != std::end(kKnownSums)) {
        id.version = known->version;
        id.requiredFormat = known->format;
    } else {
        id.version = "unknown";
        id.requiredFormat = 2;
    }
    return id;
}

static_assert(FirmwareImage::kSize >= kIdentifiedBytes);

FirmwareId identify(const FirmwareImage& image) {
    return identify(
        std::span<const std::uint8_t, kIdentifiedBytes>(image.bytes.data(), kIdentifiedBytes));
}

} // namespace tessel
