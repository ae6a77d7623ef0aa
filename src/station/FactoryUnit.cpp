#include "station/FactoryUnit.h"

#include "block/TiltRecord.h"
#include "link/Atmega128.h"

namespace tessel {

TiltCalibration factoryTilt(std::uint32_t n) {
    const auto k = static_cast<std::int16_t>(n % 50);
    TiltCalibration t;
    t.zeroGTestI = static_cast<std::uint16_t>(500 + k);
    t.zeroGTestQ = static_cast<std::uint16_t>(510 + k);
    t.oneGTestI = static_cast<std::uint16_t>(700 + k);
    t.oneGTestQ = static_cast<std::uint16_t>(710 + k);
    t.hiTempC = 60;
    t.midTempC = 25;
    t.loTempC = -20;
    t.hiTempTiltAtCal = static_cast<std::int16_t>(10 + k);
    t.midTempTiltAtCal = static_cast<std::int16_t>(-5 - k);
    t.loTempTiltAtCal = 3;
    t.hiTempICal = static_cast<std::uint16_t>(40000 + k);
    t.hiTempQCal = 40100;
    t.midTempICal = 40200;
    t.midTempQCal = static_cast<std::uint16_t>(40300 + k);
    t.loTempICal = 40400;
    t.loTempQCal = 40500;
    t.hiTempISlope = -5;
    t.loTempISlope = static_cast<std::int8_t>(k);
    t.hiTempQSlope = -100;
    t.loTempQSlope = 100;
    return t;
}

void makeFactoryFresh(VirtualLightBar& bar, std::uint32_t n) {
    bar.eraseAll();
    bar.setFuses(VirtualLightBar::kFactoryFuses);
    bar.setSignature(atmega128::kSignature);
    std::uint32_t at = kFactoryTiltAddress;
    for (const std::uint8_t byte : tiltRecordBytes(factoryTilt(n)))
        bar.setEepromByte(at++, byte);
}

} // namespace tessel
