#pragma once

#include "firmware/FirmwareImage.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tessel {

// Who a firmware is and which block format it needs, read from the first kilobyte of its code.
struct FirmwareId {
    std::string product;    // at most 79 characters
    std::string version;    // at most 79 characters
    int requiredFormat = 0; // block format the firmware reads: 1 or 2
    std::string date;       // at most 79 characters

    bool operator==(const FirmwareId&) const = default;
};

// How many bytes from the start of the code identify a firmware.
inline constexpr std::size_t kIdentifiedBytes = 1024;

// Identifies firmware from its first 1024 code bytes: by the identification block
// ("<Veltrane Inc. Firmware ID>", keys ":product:", ":version:", ":VCB Format:", ":date:", then
// "<end>") when there is one, else by the byte sum of older firmware. A key missing from the
// block leaves its text empty and, for ":VCB Format:", the format 0, which no block has: the
// programming job then refuses the firmware rather than guess its format.
FirmwareId identify(std::span<const std::uint8_t, kIdentifiedBytes> code);
// Identifies the firmware held in an image.
FirmwareId identify(const FirmwareImage& image);

} // namespace tessel
