#pragma once

#include <array>
#include <cstdint>

#include "link/Atmega128.h"

namespace tessel {

// Signature and fuse bytes as read from the light bar's microcontroller.
struct DeviceIdentity {
    std::array<std::uint8_t, 3> signature{};
    std::uint8_t fuseLow = 0;
    std::uint8_t fuseHigh = 0;
    std::uint8_t fuseExtended = 0;

    bool isAtmega128() const { return signature == atmega128::kSignature; }
    // The fuses every light bar runs with.
    bool hasLightBarFuses() const {
        const atmega128::Fuses& wanted = atmega128::kLightBarFuses;
        return fuseLow == wanted.low && fuseHigh == wanted.high && fuseExtended == wanted.extended;
    }
};

} // namespace tessel
