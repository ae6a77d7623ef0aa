#include "app/TiltCalibrationModel.h"

#include "app/BlockTransfer.h"
#include "app/ControlNames.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"
#include "support/StrictNumber.h"

#include <algorithm>
#include <array>

namespace tessel {

namespace {

// A field's text as a temperature: 0 when it is not an integer, the low 16 bits otherwise.
std::int16_t degrees(const ControlValues& c, std::string_view control) {
    return static_cast<std::int16_t>(strictInteger(c.text(control)).value_or(0));
}

template <typename Range>
std::ptrdiff_t indexIn(const Range& range, std::string_view control) {
    const auto it = std::find(range.begin(), range.end(), control);
    return it == range.end() ? -1 : it - range.begin();
}

} // namespace

void clearTiltCalibration(RecordHost& host) {
    ControlValues& c = host.controls();
    const ControlValues::Batch batch(c);
    host.record().tiltCalibration = TiltCalibration{};
    for (const auto& member : fields::kTilt) c.setText(member.control, "");
    for (std::string_view field : controls::kFahrenheitFields) c.setText(field, "");
}

TiltCalibrationModel::TiltCalibrationModel(RecordHost& host, ChipProgrammer& engine,
                                           std::function<bool()> applyComPort)
    : host_(host), engine_(engine), applyComPort_(std::move(applyComPort)) {}

KeyFilter TiltCalibrationModel::filterFor(std::string_view control) {
    const auto& tilt = fields::kTilt;
    const auto angleOrSlope = [&](const fields::TiltField& m) {
        return m.width == fields::Width::S8 || m.label.find("TiltAtCal") != std::string_view::npos;
    };
    const auto member = std::find_if(tilt.begin(), tilt.end(),
                                     [&](const auto& m) { return m.control == control; });
    return member != tilt.end() && angleOrSlope(*member) ? KeyFilter::SignedNumber
                                                         : KeyFilter::UnsignedNumber;
}

void TiltCalibrationModel::fieldEntered(std::string_view control) {
    textOnEntry_[std::string(control)] = host_.controls().text(control);
}

void TiltCalibrationModel::fieldLeft(std::string_view control) {
    ControlValues& c = host_.controls();
    if (const auto row = indexIn(controls::kCelsiusFields, control); row >= 0) {
        const auto f = numtext::fahrenheitFromCelsius(degrees(c, control));
        c.setText(controls::kFahrenheitFields[static_cast<std::size_t>(row)], numtext::decimal(f));
    } else if (const auto frow = indexIn(controls::kFahrenheitFields, control); frow >= 0) {
        const auto entry = textOnEntry_.find(control);
        const bool edited = entry == textOnEntry_.end() || entry->second != c.text(control);
        if (edited) {
            const auto celsius = numtext::celsiusFromFahrenheit(degrees(c, control));
            c.setText(controls::kCelsiusFields[static_cast<std::size_t>(frow)], numtext::decimal(celsius));
        }
    }
    textOnEntry_.erase(std::string(control));
}

TiltAcquisition::Outcome TiltCalibrationModel::acquire() {
    if (!applyComPort_ || !applyComPort_()) return TiltAcquisition::Outcome::JobFailed;
    const TiltAcquisition a = acquireTiltCalibration(engine_);
    switch (a.outcome) {
    case TiltAcquisition::Outcome::Incomplete: clear(); break;
    case TiltAcquisition::Outcome::Complete: {
        const ControlValues::Batch batch(host_.controls());
        host_.record().tiltCalibration = a.values;
        loadTiltCalibration(a.values, host_.controls());
        break;
    }
    default: break;
    }
    return a.outcome;
}

} // namespace tessel
