#include "block/RecordRules.h"

#include "block/BlockLabels.h"
#include "block/NameRules.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"
#include "support/StrictNumber.h"

#include <algorithm>

namespace tessel {

namespace {

// "~" would read as withdrawn text in the light bar, control characters would break the line,
// and an end marker inside a value would end the block early for every reader of it.
bool carriesUnsafeCharacter(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0xFF || c == '~') return true;
    }
    return text.find(labels::kEndMarker) != std::string_view::npos;
}

} // namespace

std::string faultMessage(FieldFault fault, std::string_view text) {
    const std::string quoted = "'" + std::string(text) + "'";
    switch (fault) {
    case FieldFault::None: break;
    case FieldFault::Integer: return quoted + " is not a valid integer value";
    case FieldFault::Real: return quoted + " is not a valid floating point value";
    case FieldFault::BlockText:
        return quoted + " cannot be stored in a light bar block: it contains \"~\", "
                        "\"< end >\" or a control character";
    case FieldFault::Name:
        return quoted + " cannot be stored in a light bar block: a blank or \":\" inside a "
                        "name does not read back";
    case FieldFault::IncompleteRow: return std::string(text) + " needs all eight values";
    }
    return {};
}

RecordOutcome normalizeName(std::string& name, std::size_t maxLength) {
    if (name.size() > maxLength) name.resize(maxLength);
    if (carriesUnsafeCharacter(name)) return {FieldFault::BlockText, name};
    if (!readsBackUnchanged(name)) return {FieldFault::Name, name};
    return {};
}

bool keepsScaleName(std::string_view name) { return name.size() == kScaleNameLength; }

RecordOutcome normalizeReal(double& value) {
    const std::string shown = numtext::shortestReal(value);
    const auto kept = strictReal(shown);
    if (!kept) return {FieldFault::Real, shown};
    value = *kept;
    return {};
}

int normalizeCustomerId(int customerId) {
    return customerId >= 0 && customerId < static_cast<int>(CustomerNames.size()) ? customerId : 0;
}

ScaleRow normalizeRow(const ScaleRow& row) {
    const bool complete = std::all_of(row.begin(), row.end(), [](auto v) { return v != 0; });
    return complete ? row : ScaleRow{};
}

RecordOutcome normalizeRecord(ConfigBlock& record) {
    record.setFormat(record.format);
    if (auto outcome = normalizeName(record.productName, kProductNameMax); !outcome.ok())
        return outcome;
    record.customerId = normalizeCustomerId(record.customerId);
    for (const auto& option : fields::kNumericOptions)
        if (auto outcome = normalizeReal(record.*option.value); !outcome.ok()) return outcome;
    for (OptionState& state : record.options)
        if (state != OptionState::Yes && state != OptionState::No) state = OptionState::Skip;
    for (std::string& name : record.scaleNames) {
        if (!keepsScaleName(name)) name.clear();
        else if (auto outcome = normalizeName(name, kScaleNameLength); !outcome.ok())
            return outcome;
    }
    for (auto* rows : {&record.metricScales, &record.englishScales})
        for (ScaleRow& row : *rows)
            row = normalizeRow(row);
    return {};
}

} // namespace tessel
