#pragma once

#include "block/ConfigBlock.h"
#include "support/ResultCode.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessel {

class ChipProgrammer;

// The tilt calibration record in the light bar's data memory: the marker "TiltCalParameters"
// with its zero byte, then the twenty values in the order and widths of TiltCalibration, least
// significant byte first. Where it sits is the firmware's choice: it is searched for in the
// first 700 bytes.
inline constexpr std::string_view kTiltMarker{"TiltCalParameters\0", 18};
inline constexpr std::size_t kTiltRecordBytes = 54;
inline constexpr std::uint16_t kTiltSearchBytes = 700;

// The record in the bytes read, its angles brought into -180..180; none when no marker starts
// where a whole record still fits in the bytes.
std::optional<TiltCalibration> findTiltCalibration(const std::uint8_t* bytes, std::size_t count);

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
