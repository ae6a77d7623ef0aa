#include "app/TiltAcquisition.h"

#include "block/RecordFields.h"
#include "jobs/ChipProgrammer.h"
#include "support/ResultCode.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tessel {

namespace {

std::int16_t withinHalfTurn(std::int16_t angle) {
    int a = angle;
    while (a > 180) a -= 360;
    while (a < -180) a += 360;
    return static_cast<std::int16_t>(a);
}

} // namespace

std::optional<TiltCalibration> findTiltCalibration(const std::uint8_t* bytes, std::size_t count) {
    if (count < kTiltRecordBytes) return std::nullopt;
    // A marker too near the end would leave values unread; such a record is not taken.
    for (std::size_t at = 0; at + kTiltRecordBytes <= count; ++at) {
        if (std::memcmp(bytes + at, kTiltMarker.data(), kTiltMarker.size()) != 0) continue;
        TiltCalibration tilt;
        const std::uint8_t* p = bytes + at + kTiltMarker.size();
        for (const auto& member : fields::kTilt) {
            if (member.width == fields::Width::S8) {
                member.set(tilt, *p++);
            } else {
                member.set(tilt, p[0] | (p[1] << 8));
                p += 2;
            }
        }
        tilt.hiTempTiltAtCal = withinHalfTurn(tilt.hiTempTiltAtCal);
        tilt.midTempTiltAtCal = withinHalfTurn(tilt.midTempTiltAtCal);
        tilt.loTempTiltAtCal = withinHalfTurn(tilt.loTempTiltAtCal);
        return tilt;
    }
    return std::nullopt;
}

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
