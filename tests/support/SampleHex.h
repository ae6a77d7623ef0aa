#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tessel::testing {

// A small Intel HEX file: `size` bytes of code at address 0 whose first kilobyte carries an
// identification block naming the required block format.
inline std::string sampleHex(int requiredFormat, std::size_t size = 1500) {
    std::vector<std::uint8_t> code(size);
    for (std::size_t i = 0; i < size; ++i) code[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::string id = "<Veltrane Inc. Firmware ID>:product:KD:version:v3.4:VCB Format:" +
                           std::to_string(requiredFormat) + ":date:2026-12-01<end>";
    std::copy(id.begin(), id.end(), code.begin() + 64);
    std::string hex;
    char buf[48];
    for (std::size_t at = 0; at < size; at += 16) {
        const std::size_t n = std::min<std::size_t>(16, size - at);
        unsigned sum = static_cast<unsigned>(n + (at >> 8) + (at & 0xFF));
        std::snprintf(buf, sizeof buf, ":%02X%04X00", static_cast<unsigned>(n),
                      static_cast<unsigned>(at & 0xFFFF));
        hex += buf;
        for (std::size_t k = 0; k < n; ++k) {
            std::snprintf(buf, sizeof buf, "%02X", code[at + k]);
            hex += buf;
            sum += code[at + k];
        }
        std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        hex += buf;
    }
    return hex + ":00000001FF\r\n";
}

} // namespace tessel::testing
