#pragma once

#include "block/BlockArea.h"
#include "jobs/LightBarState.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessel {

// What one job learns on its way. The frame makes it afresh at every job's start, so nothing
// of an earlier job carries over.
struct JobState {
    BlockArea wholeBlockArea{}; // the light bar's whole block area, withdrawn bytes as "~"
    bool wholeAreaRead = false; // wholeBlockArea holds this job's complete reading
    std::array<std::uint8_t, 4096> eeprom{}; // the data memory as saved before an erase
    LightBarState lightBar;                  // what the light bar holds, with the backups
    bool rewriting = false;                  // inside the rewrite stretch
    bool cancelHeld = false;                 // a Cancel seen in the stretch
    bool cancelPending = false;              // that Cancel, for the next abort test after it
    bool rewriteFailed = false;              // the stretch ended with a failure
};

} // namespace tessel
