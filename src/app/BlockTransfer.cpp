#include "app/BlockTransfer.h"

#include "app/ControlNames.h"
#include "block/BlockLabels.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"

#include <array>

namespace tessel {

namespace {

std::string messageFor(ConversionError::Kind kind, const std::string& text) {
    switch (kind) {
    case ConversionError::Kind::Integer:
        return "'" + text + "' is not a valid integer value";
    case ConversionError::Kind::Real:
        return "'" + text + "' is not a valid floating point value";
    case ConversionError::Kind::BlockText:
        return "'" + text +
               "' cannot be stored in a light bar block: it contains \"~\", "
               "\"< end >\" or a control character";
    }
    return {};
}

std::string scaleControl(std::string_view prefix, std::size_t row, std::size_t position) {
    std::string name(prefix);
    name += static_cast<char>('1' + row);
    name += static_cast<char>('1' + position);
    return name;
}

// "~" would read as withdrawn text in the light bar, control characters would break the line,
// and an end marker inside a value would end the block early for every reader of it.
bool carriesUnsafeCharacter(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0xFF || c == '~') return true;
    }
    return text.find(labels::kEndMarker) != std::string_view::npos;
}

std::string checkedBlockText(const ControlValues& controls, std::string_view control,
                             std::size_t maxLength) {
    std::string text = controls.text(control);
    if (text.size() > maxLength) text.resize(maxLength);
    if (carriesUnsafeCharacter(text))
        throw ConversionError(ConversionError::Kind::BlockText, std::string(control), text);
    return text;
}

// Integer fields other than the serial number read 0 when their text is not an integer.
std::int32_t lenientInteger(const ControlValues& controls, std::string_view control) {
    return numtext::strictInteger(controls.text(control)).value_or(0);
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
        bool complete = true;
        for (auto v : rows[r])
            complete = complete && v != 0;
        for (std::size_t k = 0; k < kScaleRowLength; ++k)
            c.setText(scaleControl(prefix, r, k), complete ? numtext::decimal(rows[r][k]) : "");
    }
}

void collectRows(const ControlValues& c, std::string_view prefix, std::array<ScaleRow, 4>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ScaleRow row{};
        bool complete = true;
        for (std::size_t k = 0; k < kScaleRowLength; ++k) {
            const std::int32_t value = lenientInteger(c, scaleControl(prefix, r, k));
            complete = complete && value != 0;
            row[k] = static_cast<std::uint16_t>(value);
        }
        rows[r] = complete ? row : ScaleRow{};
    }
}

} // namespace

ConversionError::ConversionError(Kind kind, std::string control, std::string fieldText)
    : std::runtime_error(messageFor(kind, fieldText)), kind_(kind), control_(std::move(control)),
      fieldText_(std::move(fieldText)) {}

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
    c.setText(controls::kProductName, known ? record.productName : "?");
    CommandAvailability availability = availabilityFor(record.format, advancedMode);

    if (record.customerId < 0 || record.customerId >= static_cast<int>(CustomerNames.size()))
        record.customerId = 0;
    c.setText(controls::kCustomerId, customerName(record.customerId));

    for (const auto& option : fields::kNumericOptions) {
        const bool skip = record.*option.skip;
        c.setText(option.control, numtext::shortestReal(record.*option.value));
        c.setChecked(option.skipControl, skip);
        c.setEnabled(option.control, !skip); // a skipped value's field is disabled
    }

    for (const auto& member : fields::kTilt)
        c.setText(member.control, numtext::decimal(member.get(record.tiltCalibration)));
    const std::array<std::int16_t, 3> celsius = {record.tiltCalibration.hiTempC,
                                                 record.tiltCalibration.midTempC,
                                                 record.tiltCalibration.loTempC};
    for (std::size_t i = 0; i < celsius.size(); ++i)
        c.setText(controls::kFahrenheitFields[i],
                  numtext::decimal(numtext::fahrenheitFromCelsius(celsius[i])));

    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        const auto& buttons = fields::kSwitches[i];
        c.setChecked(buttons.yes, record.options[i] == OptionState::Yes);
        c.setChecked(buttons.no, record.options[i] == OptionState::No);
        c.setChecked(buttons.skip,
                     record.options[i] != OptionState::Yes && record.options[i] != OptionState::No);
    }

    for (std::size_t i = 0; i < record.scaleNames.size(); ++i)
        c.setText(controls::kScaleNames[i], record.scaleNames[i]);
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
        const auto format = numtext::strictInteger(formatText);
        if (!format)
            throw ConversionError(ConversionError::Kind::Integer,
                                  std::string(controls::kFormatNumber), formatText);
        record.setFormat(*format);
    }

    const std::string serialText = c.text(controls::kSerialNumber);
    const auto serial = numtext::strictInteger(serialText);
    if (!serial)
        throw ConversionError(ConversionError::Kind::Integer, std::string(controls::kSerialNumber),
                              serialText);
    record.serialNumber = *serial;

    record.productName = checkedBlockText(c, controls::kProductName, kProductNameMax);
    record.customerId = customerIdFromName(c.text(controls::kCustomerId));

    for (const auto& option : fields::kNumericOptions) {
        const std::string text = c.text(option.control);
        const auto value = numtext::strictReal(text);
        if (!value)
            throw ConversionError(ConversionError::Kind::Real, std::string(option.control), text);
        record.*option.value = *value;
    }
    for (const auto& option : fields::kNumericOptions)
        record.*option.skip = c.isChecked(option.skipControl);

    for (const auto& member : fields::kTilt)
        member.set(record.tiltCalibration, lenientInteger(c, member.control));

    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        const auto& buttons = fields::kSwitches[i];
        record.options[i] = c.isChecked(buttons.yes)  ? OptionState::Yes
                            : c.isChecked(buttons.no) ? OptionState::No
                                                      : OptionState::Skip;
    }

    record.scaleNames.fill(std::string{});
    for (std::size_t i = 0; i < record.scaleNames.size(); ++i)
        if (c.text(controls::kScaleNames[i]).size() == kScaleNameLength)
            record.scaleNames[i] = checkedBlockText(c, controls::kScaleNames[i], kScaleNameLength);

    record.metricScales = {};
    record.englishScales = {};
    collectRows(c, controls::kMetricScalePrefix, record.metricScales);
    collectRows(c, controls::kEnglishScalePrefix, record.englishScales);

    return record.option(SwitchOption::Tilt) == OptionState::Yes;
}

} // namespace tessel
