#pragma once

#include "jobs/LightBarState.h"
#include "support/ResultCode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

// What a job did, told once its final report is written and before the operator closes the
// window: for the job history and the window's last word on an erased light bar.
struct JobSummary {
    std::string title;        // the job window's title, "--- Read Light Bar VCB ---"
    ResultCode result = result::Ok;
    int port = 0;             // the COM port it ran on (1 to 4; 0: none)
    std::optional<std::int32_t> serialBefore; // of the light bar's block as the job first read it
    std::optional<std::int32_t> serialAfter;  // as it read it last; none when a write of the
                                              // block was not read back
    std::vector<std::string> backupFiles;     // the files it saved before writing
    // A rewrite failed and the light bar may have lost the block backupFiles hold: the window
    // tells the operator how to put them back.
    bool restoreNeeded = false;
    // What became of the light bar's firmware (an erase that may have reached it: firmwareOr).
    LightBarState::Firmware firmware = LightBarState::Firmware::Unchanged;
    std::optional<LightBarState::Firmware> firmwareOr;
    std::string linkFailure;            // why the port or the adapter failed, when it did
    std::optional<std::uint32_t> sckHz; // the SCK rate an adapter answered at
    std::string firmwareFile; // the firmware file a firmware job was given, if any
    std::string firmwareProduct, firmwareVersion; // that file's identity
};

} // namespace tessel
