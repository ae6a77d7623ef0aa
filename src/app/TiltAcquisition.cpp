#include "app/TiltAcquisition.h"

#include "block/RecordFields.h"
#include "jobs/ChipProgrammer.h"
#include "support/ResultCode.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tessel {

TiltAcquisition acquireTiltCalibration(ChipProgrammer& engine) {
    TiltAcquisition a;
    std::array<std::uint8_t, kTiltSearchBytes> bytes{};
    a.result = engine.readDataMemory(bytes.data(), kTiltSearchBytes);
    if (a.result != result::Ok) return a;
    const auto found = findTiltCalibration(bytes.data(), bytes.size());
    if (!found) {
        a.outcome = TiltAcquisition::Outcome::NoRecord;
        return a;
    }
    a.values = *found;
    a.outcome = found->isComplete() ? TiltAcquisition::Outcome::Complete
                                    : TiltAcquisition::Outcome::Incomplete;
    return a;
}

std::optional<std::string_view> acquisitionMessage(TiltAcquisition::Outcome outcome) {
    switch (outcome) {
    case TiltAcquisition::Outcome::NoRecord:
        return "The Light Bar Data Memory holds no tilt calibration record "
               "(a firmware update erases it).";
    case TiltAcquisition::Outcome::Incomplete:
        return "The tilt calibration record in the Light Bar Data Memory is incomplete "
               "(a zero tilt reading is 0).";
    default: return std::nullopt;
    }
}

} // namespace tessel
