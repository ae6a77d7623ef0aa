#include "app/BlockTransfer.h"

#include "app/ControlNames.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"
#include "support/Latin1Text.h"
#include "support/StrictNumber.h"

#include <algorithm>
#include <array>

namespace tessel {

namespace {

// Takes a name's text (UTF-8 in the window, Latin-1 in the block) when the rules accept it; the
// record keeps its old name otherwise. A character Latin-1 lacks cannot go into a block.
std::string collectedName(const ControlValues& controls, std::string_view control,
                          std::size_t maxLength) {
    const std::string text = controls.text(control);
    const std::optional<std::string> latin1 = utf8ToLatin1(text);
    if (!latin1) throw ConversionError(FieldFault::BlockText, std::string(control), text);
    std::string name = *latin1;
    if (const RecordOutcome outcome = normalizeName(name, maxLength); !outcome.ok())
        throw ConversionError(outcome.fault, std::string(control), outcome.text);
    return name;
}

// Calibration and scale fields: an empty field reads 0 (an incomplete row or calibration keeps
// its meaning); any other text must be an integer its member can hold, never a wrapped value.
std::int32_t boundedInteger(const ControlValues& controls, std::string_view control,
                            std::pair<long, long> range) {
    const std::string text = controls.text(control);
    if (text.empty()) return 0;
    const auto value = strictInteger(text);
    if (!value || *value < range.first || *value > range.second)
        throw ConversionError(ConversionError::Kind::Integer, std::string(control), text);
    return *value;
}

CommandAvailability availabilityFor(int format, bool advancedMode) {
    CommandAvailability a;
    if (format == 1 || format == 2) {
        a.convertToFormat1 = format == 2;
        a.convertToFormat2 = format == 1;
        a.initDefaultVcb = false;
        a.progCode = a.verifyCode = true;
        if (advancedMode) a.progVcb = a.verifyVcb = a.productNameEditable = true;
    } else {
        a.convertToFormat1 = a.convertToFormat2 = false;
        a.progCode = a.verifyCode = false;
        a.progVcb = a.verifyVcb = false;
    }
    return a;
}

void loadRows(ControlValues& c, std::string_view prefix, const std::array<ScaleRow, 4>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ScaleRow shown = normalizeRow(rows[r]); // an incomplete row shows empty fields
        for (std::size_t k = 0; k < kScaleRowLength; ++k)
            c.setText(controls::scaleField(prefix, r, k),
                      shown[k] != 0 ? numtext::decimal(shown[k]) : "");
    }
}

// A row typed in part stops the collection at its first missing value, naming the row: the
// light bar would otherwise get no row at all without a word. An empty row is no row.
void collectRows(const ControlValues& c, std::string_view prefix, std::array<ScaleRow, 4>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ScaleRow row{};
        for (std::size_t k = 0; k < kScaleRowLength; ++k)
            row[k] = static_cast<std::uint16_t>(boundedInteger(
                c, controls::scaleField(prefix, r, k), fields::rangeOf(fields::Width::U16)));
        const auto missing = std::find(row.begin(), row.end(), 0);
        if (missing != row.end() && std::any_of(row.begin(), row.end(), [](auto v) { return v != 0; }))
            throw ConversionError(FieldFault::IncompleteRow,
                                  controls::scaleField(prefix, r, static_cast<std::size_t>(missing - row.begin())),
                                  controls::scaleRowName(prefix, r));
        rows[r] = normalizeRow(row);
    }
}

} // namespace

ConversionError::ConversionError(Kind kind, std::string control, std::string fieldText)
    : std::runtime_error(faultMessage(kind, fieldText)), kind_(kind), control_(std::move(control)),
      fieldText_(std::move(fieldText)) {}

void loadTiltCalibration(const TiltCalibration& tilt, ControlValues& c) {
    for (const auto& member : fields::kTilt)
        c.setText(member.control, numtext::decimal(member.get(tilt)));
    const std::array<std::int16_t, 3> celsius = {tilt.hiTempC, tilt.midTempC, tilt.loTempC};
    for (std::size_t i = 0; i < celsius.size(); ++i)
        c.setText(controls::kFahrenheitFields[i],
                  numtext::decimal(numtext::fahrenheitFromCelsius(celsius[i])));
}

void CommandAvailability::applyTo(ControlValues& c) const {
    const auto set = [&](std::string_view control, const std::optional<bool>& enabled) {
        if (enabled) c.setEnabled(control, *enabled);
    };
    set(controls::kConvertToFormat1, convertToFormat1);
    set(controls::kConvertToFormat2, convertToFormat2);
    set(controls::kInitDefaultVcb, initDefaultVcb);
    set(controls::kProgCode, progCode);
    set(controls::kVerifyCode, verifyCode);
    set(controls::kProgVcb, progVcb);
    set(controls::kVerifyVcb, verifyVcb);
    set(controls::kProductName, productNameEditable);
    c.setEnabled(controls::kTiltTempCal, tiltTempCal);
}

CommandAvailability loadIntoWindows(ConfigBlock& record, ControlValues& c, bool advancedMode) {
    const bool known = record.format == 1 || record.format == 2;
    c.setText(controls::kFormatNumber, known ? numtext::decimal(record.format) : "?");
    c.setChecked(controls::kVcbFormat1, record.format == 1);
    c.setChecked(controls::kVcbFormat2, record.format == 2);

    c.setText(controls::kSerialNumber, known ? numtext::decimal(record.serialNumber) : "?");
    c.setText(controls::kProductName, known ? latin1ToUtf8(record.productName) : "?");
    CommandAvailability availability = availabilityFor(record.format, advancedMode);

    record.customerId = normalizeCustomerId(record.customerId);
    c.setText(controls::kCustomerId, customerName(record.customerId));

    for (const auto& option : fields::kNumericOptions) {
        const bool skip = record.*option.skip;
        c.setText(option.control, numtext::shortestReal(record.*option.value));
        c.setChecked(option.skipControl, skip);
        c.setEnabled(option.control, !skip); // a skipped value's field is disabled
    }

    loadTiltCalibration(record.tiltCalibration, c);

    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        const auto& buttons = fields::kSwitches[i];
        c.setChecked(buttons.yes, record.options[i] == OptionState::Yes);
        c.setChecked(buttons.no, record.options[i] == OptionState::No);
        c.setChecked(buttons.skip,
                     record.options[i] != OptionState::Yes && record.options[i] != OptionState::No);
    }

    for (std::size_t i = 0; i < record.scaleNames.size(); ++i)
        c.setText(controls::kScaleNames[i], latin1ToUtf8(record.scaleNames[i]));
    loadRows(c, controls::kMetricScalePrefix, record.metricScales);
    loadRows(c, controls::kEnglishScalePrefix, record.englishScales);

    availability.tiltTempCal = record.option(SwitchOption::Tilt) == OptionState::Yes;
    return availability;
}

bool collectFromWindows(ConfigBlock& record, const ControlValues& c) {
    const std::string formatText = c.text(controls::kFormatNumber);
    if (formatText == "?") {
        record.setFormat(0);
    } else {
        const auto format = strictInteger(formatText);
        if (!format)
            throw ConversionError(ConversionError::Kind::Integer,
                                  std::string(controls::kFormatNumber), formatText);
        record.setFormat(*format);
    }

    const std::string serialText = c.text(controls::kSerialNumber);
    const auto serial = strictInteger(serialText);
    if (!serial)
        throw ConversionError(ConversionError::Kind::Integer, std::string(controls::kSerialNumber),
                              serialText);
    record.serialNumber = *serial;

    record.productName = collectedName(c, controls::kProductName, kProductNameMax);
    record.customerId = customerIdFromName(c.text(controls::kCustomerId));

    for (const auto& option : fields::kNumericOptions) {
        const std::string text = c.text(option.control);
        auto value = strictReal(text);
        if (!value || !normalizeReal(*value).ok())
            throw ConversionError(ConversionError::Kind::Real, std::string(option.control), text);
        record.*option.value = *value;
    }
    for (const auto& option : fields::kNumericOptions)
        record.*option.skip = c.isChecked(option.skipControl);

    for (const auto& member : fields::kTilt)
        member.set(record.tiltCalibration,
                   boundedInteger(c, member.control, fields::rangeOf(member.width)));

    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        const auto& buttons = fields::kSwitches[i];
        record.options[i] = c.isChecked(buttons.yes)  ? OptionState::Yes
                            : c.isChecked(buttons.no) ? OptionState::No
                                                      : OptionState::Skip;
    }

    record.scaleNames.fill(std::string{});
    for (std::size_t i = 0; i < record.scaleNames.size(); ++i)
        if (const std::string text = c.text(controls::kScaleNames[i]);
            keepsScaleName(utf8ToLatin1(text).value_or(text)))
            record.scaleNames[i] = collectedName(c, controls::kScaleNames[i], kScaleNameLength);

    record.metricScales = {};
    record.englishScales = {};
    collectRows(c, controls::kMetricScalePrefix, record.metricScales);
    collectRows(c, controls::kEnglishScalePrefix, record.englishScales);

    return record.option(SwitchOption::Tilt) == OptionState::Yes;
}

} // namespace tessel
