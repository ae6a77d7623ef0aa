#include "block/ConfigBlock.h"

namespace tessel {

bool TiltCalibration::isComplete() const {
    return hiTempICal != 0 && hiTempQCal != 0 && midTempICal != 0 && midTempQCal != 0 &&
           loTempICal != 0 && loTempQCal != 0;
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
