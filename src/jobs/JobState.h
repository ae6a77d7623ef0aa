#pragma once

#include "block/BlockArea.h"
#include "jobs/LightBarState.h"
#include "link/Atmega128.h"
#include "support/ResultCode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tessel {

// What one job learns on its way. The frame makes it afresh at every job's start, so nothing
// of an earlier job carries over.
struct JobState {
    BlockArea wholeBlockArea{}; // the light bar's whole block area, withdrawn bytes as "~"
    // How many bytes of wholeBlockArea, from its start, this job has read before writing any:
    // kBlockAreaSize once it holds the whole area. A later reading reuses them.
    std::size_t blockAreaKnown = 0;
    // The data memory as saved before an erase.
    std::array<std::uint8_t, atmega128::kEepromBytes> eeprom{};
    bool backupRead = false;                 // read for a backup, saved once the job writes
    std::int32_t backupSerialNumber = 0;     // names the backup files
    bool backupWithEeprom = false;           // the backup takes the EEPROM too
    LightBarState lightBar;                  // what the light bar holds, with the backups
    bool rewriting = false;                  // inside the rewrite stretch
    bool rewriteBegun = false;               // the block area may hold new bytes from here on
    bool cancelHeld = false;                 // a Cancel seen in the stretch
    bool cancelPending = false;              // that Cancel, for the next abort test after it
    bool rewriteFailed = false;              // the stretch ended with a failure
    std::optional<ResultCode> lateFailure;   // the result once the final report is written
    bool blockRead = false;                  // a block read noted (serialBefore is set)
    std::optional<std::int32_t> serialBefore; // the first block read, its serial number
    std::optional<std::int32_t> serialAfter;  // the last block read after any write
    std::string firmwareFile, firmwareProduct, firmwareVersion; // a firmware job's file
    std::optional<std::uint32_t> sckHz; // the SCK rate an adapter answered the enable at
};

} // namespace tessel
