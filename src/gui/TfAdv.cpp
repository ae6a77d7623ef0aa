#include "gui/TfAdv.h"

#include "block/RecordFields.h"
#include "gui/BoundFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace tessel {

namespace {

struct NumericRow {
    const char* caption;
    const char* unit;
    const char* hint;
};
constexpr std::array<NumericRow, 3> kNumericRows = {{
    {"  Tape Minimum Radius", "meters", "Minimum Display Radius for Basic Tape"},
    {"  Min Speed for Course", "kph", "Minimum SOG for COG"},
    {"  Tilt Sensor OpAmp Gain", "", "Tilt Sensor OpAmp Gain"},
}};

struct SwitchRow {
    const char* caption;
    const char* hint;  // empty: none
    bool toolTip;      // the hint shows as a tool tip
};
constexpr std::array<SwitchRow, kSwitchCount> kSwitchRows = {{
    {"  Advanced Tape", "Advanced Tape Types", false},
    {"  Adv Tape Display", "Advanced Tape Displays", false},
    {"  Fast Config Entry", "Fast Config Entry and Exit", false},
    {"  Scales Display", "Display Offset and Angle Scales", false},
    {"  Tilt", "Field Tilt Compensation", true},
    {"   Bypass BTTF", "Bypass Brightness Temperature Tilt Filter", true},
    {"   Emulate v2.0 DID", "DID Message v2.0 Compatible", true},
    {"   Use SOL messges for MRV", "Use SOL messages for Marova", true},
    {"   Languages DSP Option", "", false},
    {"   Meters Offset DSP Option", "", false},
}};

// A hint kept with tool tips off shows nowhere, as in the design; it stays readable for tests.
void setHint(QWidget* w, const char* hint, bool toolTip) {
    if (toolTip) w->setToolTip(hint);
    else w->setWhatsThis(hint);
}

} // namespace

TfAdv::TfAdv(OptionsDialogModel& model, ControlValues& values, QWidget* parent)
    : FixedDialog(parent), model_(model), bound_(new BoundFields(values, this)) {
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (std::size_t i = 0; i < kNumericRows.size(); ++i, ++row) {
        const auto& option = fields::kNumericOptions[i];
        grid->addWidget(new QLabel(kNumericRows[i].caption, this), row, 0);
        auto* field = new QLineEdit(this);
        field->setMaxLength(static_cast<int>(OptionsDialogModel::kFieldMaxLength));
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(70);
        field->setToolTip(kNumericRows[i].hint);
        bound_->bindField(field, std::string(option.control), OptionsDialogModel::kFieldFilter);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel(kNumericRows[i].unit, this), row, 2);
        auto* skip = new QCheckBox("skip", this);
        bound_->bindCheck(skip, std::string(option.skipControl));
        connect(skip, &QCheckBox::clicked, this, [this, i](bool on) { model_.skipClicked(i, on); });
        grid->addWidget(skip, row, 3);
    }
    for (std::size_t i = 0; i < kSwitchRows.size(); ++i, ++row) {
        const auto& option = fields::kSwitches[i];
        auto* caption = new QLabel(kSwitchRows[i].caption, this);
        setHint(caption, kSwitchRows[i].hint, kSwitchRows[i].toolTip);
        grid->addWidget(caption, row, 0);
        auto* group = new QButtonGroup(this);
        const std::array<std::pair<const char*, std::string_view>, 3> buttons = {
            {{"Yes", option.yes}, {"No", option.no}, {"Skip", option.skip}}};
        for (int b = 0; b < 3; ++b) {
            auto* radio = new QRadioButton(buttons[static_cast<std::size_t>(b)].first, this);
            setHint(radio, kSwitchRows[i].hint, kSwitchRows[i].toolTip);
            group->addButton(radio, b);
            bound_->bindCheck(radio, std::string(buttons[static_cast<std::size_t>(b)].second));
            grid->addWidget(radio, row, 1 + b);
        }
    }
    grid->addWidget(navyLine(this, "1 kph = 0.621371192 mph"), row, 0, 1, 2);
    grid->addWidget(navyLine(this, "1 kph = 0.53961182 knots"), row + 1, 0, 1, 2);
    auto* close = dialogButton(this, "bAdvOK", "Close");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(close, row, 3, 2, 1, Qt::AlignVCenter);
    makeFixedDialog(this, "TfAdv", "Light Bar Options");
}

void TfAdv::runModal() {
    setWindowTitle("Light Bar Options");
    exec();
    model_.closed();
}

} // namespace tessel
