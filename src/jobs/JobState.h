#pragma once

#include "block/BlockArea.h"
#include "support/ResultCode.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tessel {

// What one job learns on its way. The frame makes it afresh at every job's start, so nothing
// of an earlier job carries over.
struct JobState {
    BlockArea wholeBlockArea{}; // the light bar's whole block area, withdrawn bytes as "~"
    bool wholeAreaRead = false; // wholeBlockArea holds this job's complete reading
    std::array<std::uint8_t, 4096> eeprom{}; // the data memory as saved before an erase
    bool backupRead = false;                 // read for a backup, saved once the job writes
    std::int32_t backupSerialNumber = 0;     // names the backup files
    bool backupBeforeErase = false;          // the backup takes the EEPROM too
    std::string backupBlockFile;             // the block area's backup; empty before it is saved
    std::string backupEepromFile;            // the EEPROM's backup; empty when none was saved
    bool backupHeldBlock = false;            // whether that backup holds a block
    bool rewriting = false;                  // inside the rewrite stretch
    bool cancelHeld = false;                 // a Cancel seen in the stretch, honoured at its end
    bool blockLost = false;                  // the stretch ended with a failure
    std::optional<ResultCode> lateFailure;   // the result once the final report is written
    bool erased = false;                     // the chip was erased
    bool blockRead = false;                  // a block read noted (serialBefore is set)
    std::optional<std::int32_t> serialBefore; // the first block read, its serial number
    std::optional<std::int32_t> serialAfter;  // the last block read after any write
    std::string firmwareFile, firmwareProduct, firmwareVersion; // a firmware job's file
};

} // namespace tessel
