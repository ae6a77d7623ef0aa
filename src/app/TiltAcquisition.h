#pragma once

#include "block/ConfigBlock.h"
#include "support/ResultCode.h"
#include "block/TiltRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessel {

class ChipProgrammer;

struct TiltAcquisition {
    enum class Outcome {
        JobFailed,  // the data memory job failed or was cancelled (its window said why)
        NoRecord,   // no calibration record in the bytes read
        Incomplete, // a record with a zero-tilt reading of 0
        Complete,
    };
    Outcome outcome = Outcome::JobFailed;
    ResultCode result = result::Ok; // the job's result code
    TiltCalibration values; // the record found (also an incomplete one)
};

// Runs the data memory job over the first 700 bytes and looks for the record in them.
TiltAcquisition acquireTiltCalibration(ChipProgrammer& engine);

// What to tell the operator when no complete record came back (none for the other outcomes).
std::optional<std::string_view> acquisitionMessage(TiltAcquisition::Outcome outcome);

} // namespace tessel
