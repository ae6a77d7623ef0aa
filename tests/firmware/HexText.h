#pragma once

// Builds Intel HEX text for the reader's tests.

#include "firmware/FirmwareImage.h"
#include "firmware/HexReader.h"

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tessel::test {

inline std::string hexByte(unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[(value >> 4) & 15], digits[value & 15]};
}

// One record with a correct checksum, without line end.
inline std::string record(std::uint8_t type, std::uint16_t address,
                          const std::vector<std::uint8_t>& data) {
    const auto count = static_cast<unsigned>(data.size());
    unsigned sum = count + (address >> 8) + (address & 0xFF) + type;
    std::string text =
        ":" + hexByte(count) + hexByte(address >> 8) + hexByte(address) + hexByte(type);
    for (const auto b : data) {
        text += hexByte(b);
        sum += b;
    }
    return text + hexByte((0x100 - (sum & 0xFF)) & 0xFF);
}

inline std::string dataRecord(std::uint16_t address, const std::vector<std::uint8_t>& data) {
    return record(0x00, address, data);
}

inline std::string segmentRecord(std::uint16_t value) {
    return record(0x02, 0,
                  {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

inline std::string endRecord() {
    return record(0x01, 0, {});
}

// count bytes first, first + 1, ...
inline std::vector<std::uint8_t> counting(std::size_t count, std::uint8_t first = 0) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

// The outcome of reading a HEX text: result code and image.
struct HexRead {
    int result;
    std::unique_ptr<FirmwareImage> image;
};

inline HexRead read(const std::string& text) {
    HexRead out{0, std::make_unique<FirmwareImage>()};
    std::istringstream in(text);
    out.result = readHex(in, *out.image);
    return out;
}

} // namespace tessel::test
