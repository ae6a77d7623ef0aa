#pragma once

#include "app/ControlValues.h"
#include "block/ConfigBlock.h"
#include "block/RecordRules.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace tessel {

// A field text that does not convert: the collection stops and the caller shows what(). control
// names the field to show the operator; fieldText is its text (for a scale row typed in part,
// the row's name).
class ConversionError : public std::runtime_error {
public:
    using Kind = FieldFault;

    ConversionError(Kind kind, std::string control, std::string fieldText);

    Kind kind() const { return kind_; }
    const std::string& control() const { return control_; }
    const std::string& fieldText() const { return fieldText_; }

private:
    Kind kind_;
    std::string control_;
    std::string fieldText_;
};

// Which commands the load step enables; an empty entry leaves the command as it was.
struct CommandAvailability {
    std::optional<bool> convertToFormat1;
    std::optional<bool> convertToFormat2;
    std::optional<bool> initDefaultVcb;
    std::optional<bool> progCode;
    std::optional<bool> verifyCode;
    std::optional<bool> progVcb;
    std::optional<bool> verifyVcb;
    std::optional<bool> productNameEditable;
    bool tiltTempCal = false; // "Tilt Temp Cal": exactly when the "Tilt" option is Yes

    // Writes the set entries as enabled states of the commands' controls.
    void applyTo(ControlValues& controls) const;
};

// Shows every field of the record in its control (a customer ID outside 0..5 is first set to
// 0 in the record) and returns the commands the record's format makes available.
CommandAvailability loadIntoWindows(ConfigBlock& record, ControlValues& controls,
                                    bool advancedMode);

// Shows the twenty calibration values in their fields, each temperature also in Fahrenheit.
void loadTiltCalibration(const TiltCalibration& tilt, ControlValues& controls);

// Reads every control back into the record, applying the record's rules (normalizeRecord) field
// by field. Texts are UTF-8 in the controls and Latin-1 in the record. Throws ConversionError
// when the serial number or a numeric option does not convert, when a calibration or scale field
// holds text that is not an integer its member can hold (an empty one reads 0), when a scale row
// holds some but not all eight values, or when the rules refuse a value; the fields collected
// before it keep their new values.
// Returns whether "Tilt Temp Cal" is enabled.
bool collectFromWindows(ConfigBlock& record, const ControlValues& controls);

} // namespace tessel
