#pragma once

#include "app/TiltAcquisition.h"
#include "block/RecordFields.h"
#include "sim/VirtualLightBar.h"

#include <cstdint>
#include <vector>

namespace tessel::testing {

inline void putTiltRecord(VirtualLightBar& bar, std::uint32_t at, const TiltCalibration& t) {
    for (std::uint8_t byte : tiltRecordBytes(t)) bar.setEepromByte(at++, byte);
}

// A complete calibration whose high-temperature angle reads 350 degrees.
inline TiltCalibration sampleTilt() {
    TiltCalibration t;
    t.zeroGTestI = 512;
    t.zeroGTestQ = 513;
    t.oneGTestI = 700;
    t.oneGTestQ = 701;
    t.hiTempC = 60;
    t.midTempC = 25;
    t.loTempC = -20;
    t.hiTempTiltAtCal = 350;
    t.midTempTiltAtCal = -200;
    t.loTempTiltAtCal = 3;
    t.hiTempICal = 40000;
    t.hiTempQCal = 40001;
    t.midTempICal = 40002;
    t.midTempQCal = 40003;
    t.loTempICal = 40004;
    t.loTempQCal = 40005;
    t.hiTempISlope = -5;
    t.loTempISlope = 7;
    t.hiTempQSlope = -128;
    t.loTempQSlope = 127;
    return t;
}

} // namespace tessel::testing
