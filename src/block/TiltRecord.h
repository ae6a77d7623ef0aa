#pragma once

#include "block/ConfigBlock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tessel {

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

// The record's bytes as the firmware stores them (marker included).
std::vector<std::uint8_t> tiltRecordBytes(const TiltCalibration& tilt);

} // namespace tessel
