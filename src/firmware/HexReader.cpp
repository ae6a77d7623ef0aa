#include "firmware/HexReader.h"

#include <cstdint>
#include <istream>
#include <optional>

namespace tessel {

namespace {

constexpr int kEndOfInput = std::char_traits<char>::eof();

enum RecordType : std::uint8_t {
    kData = 0x00,
    kEndOfFile = 0x01,
    kExtendedSegmentAddress = 0x02,
};

// Value of each character as a hexadecimal digit, -1 for every other character.
constexpr std::array<std::int8_t, 256> makeDigitTable() {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i)
        table['0' + i] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        table['A' + i] = static_cast<std::int8_t>(10 + i);
        table['a' + i] = static_cast<std::int8_t>(10 + i);
    }
    return table;
}
constexpr auto kDigit = makeDigitTable();

// The byte written as two hexadecimal digits at character pos; nothing when either character
// is missing or not a digit.
std::optional<std::uint8_t> byteAt(std::string_view line, std::size_t pos) {
    if (pos + 1 >= line.size()) return std::nullopt;
    const int high = kDigit[static_cast<unsigned char>(line[pos])];
    const int low = kDigit[static_cast<unsigned char>(line[pos + 1])];
    if (high < 0 || low < 0) return std::nullopt;
    return static_cast<std::uint8_t>(high << 4 | low);
}

// A record is good when count, address, type, data and checksum are all hexadecimal and add
// up to 0 modulo 256.
bool recordIsGood(std::string_view line) {
    const auto count = byteAt(line, 1);
    if (!count) return false;
    unsigned sum = 0;
    for (std::size_t i = 0; i < *count + 5u; ++i) {
        const auto b = byteAt(line, 1 + 2 * i);
        if (!b) return false;
        sum += *b;
    }
    return (sum & 0xFF) == 0;
}

// A checked record's 16-bit big-endian value at character pos.
std::uint32_t wordAt(std::string_view line, std::size_t pos) {
    return std::uint32_t{*byteAt(line, pos)} << 8 | *byteAt(line, pos + 2);
}

} // namespace

bool HexLineReader::next() {
    length_ = 0;
    if (!source_) return false;
    int c = source_->sbumpc();
    while (c != kEndOfInput && c < 0x20 && c != '\r')
        c = source_->sbumpc();
    if (c == kEndOfInput) return false;
    // The character that ends the line (CR, LF or any other control character) is consumed.
    while (c != kEndOfInput && c >= 0x20) {
        if (length_ < kMaxLine) buffer_[length_++] = static_cast<char>(c);
        c = source_->sbumpc();
    }
    return true;
}

ResultCode readHex(std::istream& in, FirmwareImage& image, bool* endRecordRead) {
    image.clear();
    HexLineReader reader(in.rdbuf());
    std::uint32_t segmentBase = 0;
    bool good = true;
    if (endRecordRead) *endRecordRead = false;

    while (reader.next()) {
        const std::string_view line = reader.line();
        if (line.empty() || line[0] != ':') continue;
        const auto type = byteAt(line, 7);
        if (!type) continue;
        if (*type == kEndOfFile) {
            if (endRecordRead) *endRecordRead = true;
            break;
        }
        if (*type != kData && *type != kExtendedSegmentAddress) continue;
        if (!recordIsGood(line)) {
            good = false;
            break;
        }
        if (*type == kExtendedSegmentAddress) {
            // The value is the record's two data bytes; a shorter record would read its checksum
            // as the value, so it counts as malformed.
            if (*byteAt(line, 1) < 2) {
                good = false;
                break;
            }
            segmentBase = wordAt(line, 9) * 16;
            continue;
        }
        const std::uint32_t count = *byteAt(line, 1);
        const std::uint32_t address = segmentBase + wordAt(line, 3);
        // Store a record only when every one of its bytes lies in the code area.
        if (address + count > FirmwareImage::kSize) continue;
        for (std::uint32_t i = 0; i < count; ++i)
            image.bytes[address + i] = *byteAt(line, 9 + 2 * i);
    }

    image.updateLength();
    return good ? result::Ok : result::HexFileFormatError;
}

} // namespace tessel
