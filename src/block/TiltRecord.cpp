#include "block/TiltRecord.h"

#include "block/RecordFields.h"

#include <cstring>

namespace tessel {

namespace {

std::int16_t withinHalfTurn(std::int16_t angle) {
    int a = angle;
    while (a > 180)
        a -= 360;
    while (a < -180)
        a += 360;
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

std::vector<std::uint8_t> tiltRecordBytes(const TiltCalibration& tilt) {
    std::vector<std::uint8_t> bytes(kTiltMarker.begin(), kTiltMarker.end());
    for (const auto& member : fields::kTilt) {
        const auto v = static_cast<std::uint16_t>(member.get(tilt));
        bytes.push_back(static_cast<std::uint8_t>(v));
        if (member.width != fields::Width::S8) bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return bytes;
}

} // namespace tessel
