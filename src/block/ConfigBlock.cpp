#include "block/ConfigBlock.h"

namespace tessel {

bool TiltCalibration::isComplete() const {
    return hiTempICal != 0 && hiTempQCal != 0 && midTempICal != 0 && midTempQCal != 0 &&
           loTempICal != 0 && loTempQCal != 0;
}

std::int32_t TiltCalibration::value(std::size_t i) const {
    switch (i) {
    case 0: return zeroGTestI;
    case 1: return zeroGTestQ;
    case 2: return oneGTestI;
    case 3: return oneGTestQ;
    case 4: return hiTempC;
    case 5: return midTempC;
    case 6: return loTempC;
    case 7: return hiTempTiltAtCal;
    case 8: return midTempTiltAtCal;
    case 9: return loTempTiltAtCal;
    case 10: return hiTempICal;
    case 11: return hiTempQCal;
    case 12: return midTempICal;
    case 13: return midTempQCal;
    case 14: return loTempICal;
    case 15: return loTempQCal;
    case 16: return hiTempISlope;
    case 17: return loTempISlope;
    case 18: return hiTempQSlope;
    default: return loTempQSlope;
    }
}

void TiltCalibration::setValue(std::size_t i, std::int64_t v) {
    const auto u16 = static_cast<std::uint16_t>(v);
    const auto s16 = static_cast<std::int16_t>(u16);
    const auto s8 = static_cast<std::int8_t>(static_cast<std::uint8_t>(v));
    switch (i) {
    case 0: zeroGTestI = u16; break;
    case 1: zeroGTestQ = u16; break;
    case 2: oneGTestI = u16; break;
    case 3: oneGTestQ = u16; break;
    case 4: hiTempC = s16; break;
    case 5: midTempC = s16; break;
    case 6: loTempC = s16; break;
    case 7: hiTempTiltAtCal = s16; break;
    case 8: midTempTiltAtCal = s16; break;
    case 9: loTempTiltAtCal = s16; break;
    case 10: hiTempICal = u16; break;
    case 11: hiTempQCal = u16; break;
    case 12: midTempICal = u16; break;
    case 13: midTempQCal = u16; break;
    case 14: loTempICal = u16; break;
    case 15: loTempQCal = u16; break;
    case 16: hiTempISlope = s8; break;
    case 17: loTempISlope = s8; break;
    case 18: hiTempQSlope = s8; break;
    default: loTempQSlope = s8; break;
    }
}

std::string_view customerName(int customerId) {
    if (customerId < 0 || customerId >= static_cast<int>(CustomerNames.size())) customerId = 0;
    return CustomerNames[static_cast<std::size_t>(customerId)];
}

namespace {
std::string_view skipLeadingBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}
} // namespace

int customerIdFromName(std::string_view name) {
    const auto wanted = skipLeadingBlanks(name);
    for (std::size_t i = 0; i < CustomerNames.size(); ++i)
        if (skipLeadingBlanks(CustomerNames[i]) == wanted) return static_cast<int>(i);
    return 0;
}

void ConfigBlock::fullReset(std::int32_t serialNumberDefault) {
    const TiltCalibration keptTilt = tiltCalibration;
    *this = ConfigBlock{};
    serialNumber = serialNumberDefault;
    tiltCalibration = keptTilt;
}

void ConfigBlock::resetBeforeParsing(std::int32_t serialNumberDefault) {
    fullReset(serialNumberDefault);
    scaleNames.fill(std::string(kScaleNameLength, ' '));
}

void ConfigBlock::setDefaultBlock() {
    resetBeforeParsing(1);
    format = 2;
}

void ConfigBlock::setFormat(long long value) {
    format = (value == 1 || value == 2) ? static_cast<int>(value) : 0;
}

} // namespace tessel
