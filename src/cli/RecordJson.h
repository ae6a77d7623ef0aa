#pragma once

#include "block/ConfigBlock.h"
#include "cli/Json.h"

#include <stdexcept>

namespace tessel {

// The record as JSON for other tools: keys exactly as documented in the README, reals in their
// shortest round-trip form, text bytes 0x80..0xFE as the Unicode code points of the same value.
Json recordToJson(const ConfigBlock& record);
// The twenty tilt calibration members by their keys, as in a record.
Json tiltJson(const TiltCalibration& tilt);

// Reads a record: missing keys take the full-reset defaults (serialNumberDefault for "S/N");
// an unknown key, a wrong type or a value outside its field throws RecordJsonError naming it.
ConfigBlock recordFromJson(const Json& json, std::int32_t serialNumberDefault = kDefaultSerialNumber);

class RecordJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessel
