#include "cli/RecordLines.h"

#include "block/BlockLabels.h"
#include "block/NumberText.h"

namespace tessel {

namespace {

void line(std::string& out, std::string_view label, const std::string& value) {
    out.append(label);
    out += ": ";
    out += value;
    out += '\n';
}

std::string numeric(double value, bool skipped) {
    return numtext::shortestReal(value) + (skipped ? " (skipped)" : "");
}

std::string row(const ScaleRow& r) {
    std::string s;
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (i) s += ' ';
        s += std::to_string(r[i]);
    }
    return s;
}

} // namespace

std::string recordLines(const ConfigBlock& r) {
    std::string out;
    line(out, labels::kVcbFormat, std::to_string(r.format));
    line(out, labels::kSerialNumber, std::to_string(r.serialNumber));
    line(out, labels::kCustomerId,
         std::to_string(r.customerId) + " (" + std::string(customerName(r.customerId)) + ")");
    line(out, labels::kProductName, r.productName);
    line(out, labels::kTapeMinRadius, numeric(r.tapeMinRadius, r.skipTapeMinRadius));
    line(out, labels::kMinSogForCogKph, numeric(r.minSogForCogKph, r.skipMinSogForCog));
    line(out, labels::kTiltOpAmpGain, numeric(r.tiltOpAmpGain, r.skipTiltOpAmpGain));
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        line(out, labels::kSwitches[i], optionStateName(r.options[i]));
    for (std::size_t i = 0; i < 4; ++i) line(out, labels::kScaleNames[i], r.scaleNames[i]);
    for (std::size_t i = 0; i < 4; ++i) line(out, labels::kMetricScales[i], row(r.metricScales[i]));
    for (std::size_t i = 0; i < 4; ++i)
        line(out, labels::kEnglishScales[i], row(r.englishScales[i]));
    for (std::size_t i = 0; i < TiltCalibration::kCount; ++i)
        line(out, labels::kTilt[i], std::to_string(r.tiltCalibration.value(i)));
    return out;
}

} // namespace tessel
