#pragma once

#include <array>
#include <cstdint>

namespace tessel {

// Signature and fuse bytes as read from the light bar's microcontroller.
struct DeviceIdentity {
    std::array<std::uint8_t, 3> signature{};
    std::uint8_t fuseLow = 0;
    std::uint8_t fuseHigh = 0;
    std::uint8_t fuseExtended = 0;

    // The ATmega128 signature 1E 97 02.
    bool isAtmega128() const {
        return signature[0] == 0x1E && signature[1] == 0x97 && signature[2] == 0x02;
    }
};

// The fuses every light bar runs with: low E0, high D9, extended FD.
inline constexpr std::uint8_t kWantedFuseLow = 0xE0;
inline constexpr std::uint8_t kWantedFuseHigh = 0xD9;
inline constexpr std::uint8_t kWantedFuseExtended = 0xFD;

} // namespace tessel
