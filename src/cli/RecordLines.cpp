#include "cli/RecordLines.h"

#include "block/BlockLabels.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"

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
    for (const auto& option : fields::kNumericOptions)
        line(out, option.label, numeric(r.*option.value, r.*option.skip));
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        line(out, fields::kSwitches[i].label, optionStateName(r.options[i]));
    for (std::size_t i = 0; i < 4; ++i) line(out, labels::kScaleNames[i], r.scaleNames[i]);
    for (std::size_t i = 0; i < 4; ++i) line(out, labels::kMetricScales[i], row(r.metricScales[i]));
    for (std::size_t i = 0; i < 4; ++i)
        line(out, labels::kEnglishScales[i], row(r.englishScales[i]));
    for (const auto& member : fields::kTilt)
        line(out, member.label, std::to_string(member.get(r.tiltCalibration)));
    return out;
}

} // namespace tessel
