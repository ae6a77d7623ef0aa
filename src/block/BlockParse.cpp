#include "block/BlockLabels.h"
#include "block/BlockLine.h"
#include "block/BlockText.h"
#include "block/RecordFields.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tessel {

namespace {

enum class LineKind {
    Title,
    VcbFormat,
    End,
    SerialNumber,
    CustomerId,
    ProductName,
    Numeric,
    Switch,
    ScaleName,
    MetricRow,
    EnglishRow,
    Tilt,
    Caption,
};

struct LineRule {
    std::string_view label; // compared over its whole length with the line's first characters
    LineKind kind;
    std::size_t index;
};

// The fixed order in which a line is compared with the labels; the first match decides, so
// "TiltOpAmpGain" is recognised before "Tilt".
std::vector<LineRule> makeRules() {
    std::vector<LineRule> rules = {
        {labels::kTitle, LineKind::Title, 0},
        {labels::kVcbFormat, LineKind::VcbFormat, 0},
        {labels::kEndMarker, LineKind::End, 0},
        {labels::kSerialNumber, LineKind::SerialNumber, 0},
        {labels::kCustomerId, LineKind::CustomerId, 0},
        {labels::kProductName, LineKind::ProductName, 0},
    };
    for (std::size_t i = 0; i < fields::kNumericOptions.size(); ++i)
        rules.push_back({fields::kNumericOptions[i].label, LineKind::Numeric, i});
    for (std::size_t i = 0; i < fields::kSwitches.size(); ++i)
        rules.push_back({fields::kSwitches[i].label, LineKind::Switch, i});
    for (std::size_t i = 0; i < 4; ++i)
        rules.push_back({labels::kScaleNames[i], LineKind::ScaleName, i});
    for (std::size_t i = 0; i < 4; ++i)
        rules.push_back({labels::kMetricScales[i], LineKind::MetricRow, i});
    for (std::size_t i = 0; i < 4; ++i)
        rules.push_back({labels::kEnglishScales[i], LineKind::EnglishRow, i});
    for (std::size_t i = 0; i < fields::kTilt.size(); ++i)
        rules.push_back({fields::kTilt[i].label, LineKind::Tilt, i});
    rules.push_back({labels::kProgrammerCaption, LineKind::Caption, 0});
    return rules;
}

const LineRule* classify(std::string_view line) {
    static const std::vector<LineRule> rules = makeRules();
    if (!line.empty() && line[0] == '#') return nullptr; // comment
    for (const auto& rule : rules)
        if (line.substr(0, rule.label.size()) == rule.label) return &rule;
    return nullptr;
}


void storeLine(const LineRule& rule, std::string_view line, ConfigBlock& record) {
    const std::string_view word = valueWord(line);
    switch (rule.kind) {
    case LineKind::VcbFormat:
        record.setFormat(integerOf(word));
        break;
    case LineKind::SerialNumber:
        record.serialNumber = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(integerOf(word))));
        break;
    case LineKind::CustomerId: {
        const std::int64_t id = integerOf(word);
        record.customerId = (id >= 0 && id < static_cast<std::int64_t>(CustomerNames.size()))
                                ? static_cast<int>(id)
                                : 0;
        break;
    }
    case LineKind::ProductName:
        record.productName = std::string(word);
        break;
    case LineKind::Numeric: {
        const auto& option = fields::kNumericOptions[rule.index];
        record.*option.value = realOf(word);
        record.*option.skip = false;
        break;
    }
    case LineKind::Switch:
        record.options[rule.index] = switchOf(word);
        break;
    case LineKind::ScaleName:
        record.scaleNames[rule.index] = std::string(word.substr(0, kScaleNameLength));
        break;
    case LineKind::MetricRow:
        record.metricScales[rule.index] = rowOf(line);
        break;
    case LineKind::EnglishRow:
        record.englishScales[rule.index] = rowOf(line);
        break;
    case LineKind::Tilt:
        fields::kTilt[rule.index].set(record.tiltCalibration, integerOf(word));
        break;
    case LineKind::Title:
    case LineKind::End:
    case LineKind::Caption:
        break;
    }
}

} // namespace

void parseBlock(std::span<const std::uint8_t> text, ConfigBlock& record,
                std::int32_t serialNumberDefault) {
    text = text.first(std::min(text.size(), kBlockAreaSize));
    record.resetBeforeParsing(serialNumberDefault);
    record.setFormat(blockFormatOf(text));

    LineReader reader(text, record.format == 1 ? kFormat1Offset : 0);
    LineBuffer line;
    bool titleSeen = false;
    while (reader.next(line)) {
        const LineRule* rule = classify(line.view());
        if (rule == nullptr) continue;
        if (rule->kind == LineKind::End) break;
        if (rule->kind == LineKind::Title) {
            titleSeen = true;
            continue;
        }
        if (titleSeen) storeLine(*rule, line.view(), record);
    }
}

} // namespace tessel
