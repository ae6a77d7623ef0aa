#pragma once

#include <algorithm>
#include <cstdint>

#include "link/Atmega128.h"
#include "link/LinkMode.h"

namespace tessel {

// The ATmega128's wait from RESET taken low to the programming enable instruction.
inline constexpr std::uint32_t kResetToEnableMs = atmega128::kResetToEnableMicros / 1000;

// A minimum wait of the datasheet with the fast link's margin (below), in whole milliseconds.
constexpr std::uint32_t withLinkMargin(std::uint32_t micros) {
    return (micros + std::max<std::uint32_t>(micros / 3, 1500) + 999) / 1000;
}

// The waits of each link mode, in milliseconds; IspPort::wait(n) returns only once more than n
// milliseconds have passed, so each figure is a lower bound of the real wait.
//
// The fast link's waits follow the ATmega128's serial programming minimum wait delays
// (atmega128::k...Micros) with a third added, at least 1.5 ms. These delays are already the
// worst case of the chip's self-timed write; the margin covers a USB serial adapter that applies the last clock
// edge of an instruction up to a frame (1 ms) after the call returned, while our wait starts at
// the return.
struct LinkWaits {
    // RESET released: the datasheet asks only for a positive pulse of two CPU clock cycles; a
    // reset pin with the usual 10 kOhm / 100 nF network needs about 2.3 ms to rise past its
    // threshold. 20 ms covers that more than eight times over.
    std::uint32_t releaseResetMs;
    // RESET held before the enable: the specified link's 10 ms, which its line calls lengthen;
    // the fast link kResetToEnableMs plus a quarter.
    std::uint32_t assertResetMs;
    std::uint32_t fuseWriteMs;  // tWD_FUSE
    std::uint32_t chipEraseMs;  // tWD_ERASE
    // A page write: the specified fixed wait, and the fast link's bound on polling it.
    std::uint32_t pageWriteMs;
    // A page write that cannot be polled (no byte to poll, or the link has failed): tWD_FLASH.
    std::uint32_t pageWriteUnpolledMs;
    // A data memory byte written back from a backup: tWD_EEPROM. Written only by a restore, so
    // the specified link takes twice the datasheet's figure rather than the others' generosity.
    std::uint32_t eepromWriteMs;

    static constexpr LinkWaits of(LinkMode mode) {
        using namespace atmega128;
        if (mode == LinkMode::Fast)
            return {20,
                    kResetToEnableMs * 5 / 4,
                    withLinkMargin(kFuseWriteMicros),
                    withLinkMargin(kChipEraseMicros),
                    50,
                    withLinkMargin(kFlashWriteMicros),
                    withLinkMargin(kEepromWriteMicros)};
        return {500, 10, 150, 150, 50, 50, 20};
    }
};

} // namespace tessel
