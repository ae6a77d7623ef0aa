#include "app/OptionDialogs.h"

#include "app/ControlNames.h"
#include "block/NumberText.h"
#include "block/RecordFields.h"

#include <array>
#include <string>

namespace tessel {

namespace {

// Every field of the scales dialog, names first, then the metric and the English rows.
template <typename F>
void forEachScaleField(F&& visit) {
    for (std::string_view name : controls::kScaleNames) visit(name);
    for (std::string_view prefix : {controls::kMetricScalePrefix, controls::kEnglishScalePrefix})
        for (std::size_t r = 0; r < 4; ++r)
            for (std::size_t k = 0; k < kScaleRowLength; ++k) visit(controls::scaleField(prefix, r, k));
}

struct DefaultScale {
    std::string_view name;
    ScaleRow metric;  // centimetres
    ScaleRow english; // tenths of feet
};

// The scales the light bar uses when its block names none.
constexpr std::array<DefaultScale, 4> kDefaultScales = {{
    {"FIN", {10, 20, 40, 60, 80, 100, 120, 140}, {3, 10, 15, 20, 25, 30, 35, 50}},
    {"NRM", {30, 60, 120, 180, 240, 300, 360, 420}, {10, 20, 40, 60, 80, 100, 120, 140}},
    {"CRS", {120, 180, 360, 540, 720, 900, 1080, 1260}, {40, 60, 120, 180, 240, 300, 360, 420}},
    {"AUT", {5, 10, 20, 40, 100, 200, 400, 500}, {5, 10, 20, 40, 100, 200, 400, 500}},
}};

} // namespace

void OptionsDialogModel::setFormContents() {
    ControlValues& c = host_.controls();
    const ControlValues::Batch batch(c);
    const std::array<std::string_view, 3> initial = {"3.048", "3.218", "3.125"};
    for (std::size_t i = 0; i < fields::kNumericOptions.size(); ++i) {
        c.setText(fields::kNumericOptions[i].control, initial[i]);
        skipClicked(i, false);
    }
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        switchChosen(i, i == static_cast<std::size_t>(SwitchOption::Tilt) ? 1 : 2);
}

void OptionsDialogModel::skipClicked(std::size_t option, bool checked) {
    const auto& row = fields::kNumericOptions.at(option);
    ControlValues& c = host_.controls();
    const ControlValues::Batch batch(c);
    c.setChecked(row.skipControl, checked);
    c.setEnabled(row.control, !checked);
}

void OptionsDialogModel::switchChosen(std::size_t option, int choice) {
    const auto& row = fields::kSwitches.at(option);
    ControlValues& c = host_.controls();
    const ControlValues::Batch batch(c);
    c.setChecked(row.yes, choice == 0);
    c.setChecked(row.no, choice == 1);
    c.setChecked(row.skip, choice != 0 && choice != 1);
}

void OptionsDialogModel::closed() {
    const auto& tilt = fields::kSwitches[static_cast<std::size_t>(SwitchOption::Tilt)];
    ControlValues& c = host_.controls();
    OptionState& state = host_.record().option(SwitchOption::Tilt);
    state = c.isChecked(tilt.yes)  ? OptionState::Yes
            : c.isChecked(tilt.no) ? OptionState::No
                                   : OptionState::Skip;
    c.setEnabled(controls::kTiltTempCal, state == OptionState::Yes);
}

void ScalesDialogModel::setFormContents() {
    const ControlValues::Batch batch(host_.controls());
    forEachScaleField([&](std::string_view field) { host_.controls().setText(field, " "); });
}

void ScalesDialogModel::lightBarDefaults() {
    ControlValues& c = host_.controls();
    const ControlValues::Batch batch(c);
    for (std::size_t r = 0; r < kDefaultScales.size(); ++r) {
        const DefaultScale& scale = kDefaultScales[r];
        c.setText(controls::kScaleNames[r], scale.name);
        for (std::size_t k = 0; k < kScaleRowLength; ++k) {
            c.setText(controls::scaleField(controls::kMetricScalePrefix, r, k),
                      numtext::decimal(scale.metric[k]));
            c.setText(controls::scaleField(controls::kEnglishScalePrefix, r, k),
                      numtext::decimal(scale.english[k]));
        }
    }
}

void ScalesDialogModel::clearAll() {
    const ControlValues::Batch batch(host_.controls());
    forEachScaleField([&](std::string_view field) { host_.controls().setText(field, ""); });
}

} // namespace tessel
