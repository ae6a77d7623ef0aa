#include "app/WindowLayout.h"

#include "app/ControlNames.h"
#include "app/Instructions.h"
#include "block/RecordFields.h"

#include <algorithm>
#include <array>

// The option dialogs' controls stand in rows and columns of even steps (the sizes the Qt windows
// first took from their grids, with the platform's 11-pixel font), the about window as designed.
namespace tessel {

namespace {

using K = ControlKind;
using F = ControlRow::Flag;

// An option dialog: the design font, a caption and no system buttons.
WindowLayout dialog(const char* name, const char* caption, int width, int height) {
    return {.name = name,
            .caption = caption,
            .clientWidth = width,
            .clientHeight = height,
            .font = {FontFace::Design, 11, false}};
}

// "memoTapeMinRadius" with prefix "memo" and suffix "" -> "l" + "TapeMinRadius" + suffix.
std::string labelFor(std::string_view control, std::size_t prefix, std::size_t suffix = 0,
                     std::string_view more = {}) {
    return "l" + std::string(control.substr(prefix, control.size() - prefix - suffix)) +
           std::string(more);
}

// --- Light Bar Options -----------------------------------------------------------------------

struct NumericRowText {
    const char* caption;
    const char* unit; // empty: none
    const char* hint;
};
constexpr std::array<NumericRowText, 3> kNumericRows = {{
    {"  Tape Minimum Radius", "meters", "Minimum Display Radius for Basic Tape"},
    {"  Min Speed for Course", "kph", "Minimum SOG for COG"},
    {"  Tilt Sensor OpAmp Gain", "", "Tilt Sensor OpAmp Gain"},
}};

struct SwitchRowText {
    const char* caption;
    const char* hint; // empty: none
    bool toolTip;     // the hint shows as a tool tip
};
constexpr std::array<SwitchRowText, kSwitchCount> kSwitchRows = {{
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

// --- Swath Offset Scales Configuration ---------------------------------------------------------

using controls::kScaleRowCaptions;
constexpr std::array<const char*, 4> kScaleNameHints = {
    "Custom Swath Scale 1 Name (default is FIN)", "Custom Swath Scale 2 Name (default is NRM)",
    "Custom Swath 3 Scale Name (default is CRS)",
    "Custom Automatic Swath Scale Name (default is AUT)"};
constexpr const char* kAutoScaleHint =
    "Offset Scales are a percentage of Swath Width (this table value as 1/10 percent increments)";
constexpr const char* kScalesHelp = "8 values determine where offset LEDs are activated\n"
                                    "for each scale.  The Light Bar Units setting determines\n"
                                    "if the Metric or English offset table controls offset \n"
                                    "indicator LEDs. \n"
                                    "Auto Scale values are in units of tenth percent of the \n"
                                    "swath width.  Any or all offset scales or scale names\n"
                                    "may have custom settings.  All 8 values of a custom \n"
                                    "scale must be entered.";

struct ScaleTable {
    const char* box;
    const char* caption;
    std::string_view prefix;
    const char* unit; // in the rows' hints
    int top;
};
constexpr std::array<ScaleTable, 2> kScaleTables = {{
    {"gbMetricScales", "Metric Custom Offset Scales (centimeters) 100 is 1.00m",
     controls::kMetricScalePrefix, "centimeters", 185},
    {"gbEnglishScales", "English Custom Offset Scales (tenths of feet) 100 is 10.0 ft",
     controls::kEnglishScalePrefix, "tenths of feet", 337},
}};

// --- Tilt Temperature Calibration --------------------------------------------------------------

// One row: caption, then the I, Q, Fahrenheit, Celsius and Tilt at Cal fields (empty: none).
struct TiltRow {
    const char* label;
    const char* caption;
    std::array<const char*, 5> controls;
};
constexpr std::array<TiltRow, 7> kTiltRows = {{
    {"lZeroGTest", "0 G Test", {"memoZeroGTestI", "memoZeroGTestQ", "", "", ""}},
    {"lOneGTest", "1 G Test", {"memoOneGTestI", "memoOneGTestQ", "", "", ""}},
    {"lHiTempCal", "0 Tilt Hi Temp Cal",
     {"memoHiTempCalI", "memoHiTempCalQ", "memoHiTempCalF", "memoHiTempCalC", "memoHiAngleAtCal"}},
    {"lMidTempCal", "0 Tilt Mid Temp Cal",
     {"memoMidTempCalI", "memoMidTempCalQ", "memoMidTempCalF", "memoMidTempCalC",
      "memoMidAngleAtCal"}},
    {"lLoTempCal", "0 Tilt Lo Temp Cal",
     {"memoLoTempCalI", "memoLoTempCalQ", "memoLoTempCalF", "memoLoTempCalC", "memoLoAngleAtCal"}},
    {"lHiTempSlope", "Hi Temp Slope", {"memoHiTempSlopeI", "memoHiTempSlopeQ", "", "", ""}},
    {"lLoTempSlope", "Lo Temp Slope", {"memoLoTempSlopeI", "memoLoTempSlopeQ", "", "", ""}},
}};
struct TiltColumn {
    const char* header;
    const char* caption;
    int left;
    int width; // of the header; the fields are 64 wide
};
constexpr std::array<TiltColumn, 5> kTiltColumns = {{
    {"lHeaderI", "I", 141, 64},
    {"lHeaderQ", "Q", 211, 64},
    {"lHeaderF", "\u00b0 F", 281, 80},
    {"lHeaderC", "\u00b0 C", 367, 64},
    {"lHeaderTiltAtCal", "Tilt at Cal", 437, 80},
}};
constexpr std::size_t kFahrenheitColumn = 2;

} // namespace

WindowLayout optionsDialogLayout() {
    WindowLayout w = dialog("TfAdv", "Light Bar Options", 385, 388);
    // Columns: caption 11, field or "Yes" 172, unit or "No" 248, skip box or "Skip" 294.
    for (std::size_t i = 0; i < kNumericRows.size(); ++i) {
        const auto& option = fields::kNumericOptions[i];
        const NumericRowText& text = kNumericRows[i];
        const int top = 11 + 28 * static_cast<int>(i);
        w.rows.push_back({.name = labelFor(option.control, 4), .place = {11, top, 155, 22},
                          .caption = text.caption});
        w.rows.push_back({.name = std::string(option.control), .kind = K::Edit,
                          .place = {172, top, 70, 22}, .hint = text.hint, .align = Align::Right,
                          .maxLength = 9});
        if (*text.unit)
            w.rows.push_back({.name = labelFor(option.control, 4, 0, "Unit"),
                              .place = {248, top, 40, 22}, .caption = text.unit});
        w.rows.push_back({.name = std::string(option.skipControl), .kind = K::CheckBox,
                          .place = {294, top + 1, 80, 19}, .caption = "skip"});
    }
    for (std::size_t i = 0; i < kSwitchRows.size(); ++i) {
        const auto& option = fields::kSwitches[i];
        const SwitchRowText& text = kSwitchRows[i];
        const int top = 95 + 25 * static_cast<int>(i);
        const unsigned tip = text.toolTip ? 0u : unsigned{F::NoToolTip};
        w.rows.push_back({.name = labelFor(option.yes, 2, 3), .place = {11, top, 155, 19},
                          .caption = text.caption, .hint = text.hint, .flags = tip});
        w.rows.push_back({.name = std::string(option.yes), .kind = K::RadioButton,
                          .place = {172, top, 70, 19}, .caption = "Yes", .hint = text.hint,
                          .flags = tip | F::GroupStart});
        w.rows.push_back({.name = std::string(option.no), .kind = K::RadioButton,
                          .place = {248, top, 40, 19}, .caption = "No", .hint = text.hint,
                          .flags = tip});
        w.rows.push_back({.name = std::string(option.skip), .kind = K::RadioButton,
                          .place = {294, top, 80, 19}, .caption = "Skip", .hint = text.hint,
                          .flags = tip});
    }
    w.rows.push_back({.name = "lKphInMph", .place = {11, 345, 231, 13},
                      .caption = "1 kph = 0.621371192 mph", .colour = Colour::Navy});
    w.rows.push_back({.name = "lKphInKnots", .place = {11, 364, 231, 13},
                      .caption = "1 kph = 0.539957 knots", .colour = Colour::Navy});
    w.rows.push_back(
        {.name = "bAdvOK", .kind = K::Button, .place = {294, 350, 80, 21}, .caption = "Close"});
    return w;
}

WindowLayout scalesDialogLayout() {
    WindowLayout w = dialog("TfScales", "Swath Offset Scales Configuration", 537, 521);
    w.rows.push_back({.name = "gbScaleNames", .kind = K::GroupBox, .place = {11, 11, 155, 168},
                      .caption = "Custom Scale Names"});
    for (std::size_t r = 0; r < 4; ++r) {
        const int top = 32 + 32 * static_cast<int>(r);
        w.rows.push_back({.name = "lScale" + std::to_string(r + 1) + "Name",
                          .parent = "gbScaleNames", .place = {12, top, 81, 22},
                          .caption = std::string(kScaleRowCaptions[r])});
        w.rows.push_back({.name = std::string(controls::kScaleNames[r]), .kind = K::Edit,
                          .parent = "gbScaleNames", .place = {99, top, 44, 22},
                          .hint = kScaleNameHints[r], .align = Align::Right, .maxLength = 14});
    }
    w.rows.push_back({.name = "gbScalesHelp", .kind = K::GroupBox, .place = {172, 11, 354, 168},
                      .caption = "Scale Names and Offset Guidance Scales "});
    w.rows.push_back({.name = "memoScalesHelp", .kind = K::TextBox, .parent = "gbScalesHelp",
                      .place = {12, 28, 330, 128}, .caption = kScalesHelp, .flags = F::ReadOnly});
    for (const ScaleTable& table : kScaleTables) {
        w.rows.push_back({.name = table.box, .kind = K::GroupBox, .place = {11, table.top, 515, 146},
                          .caption = table.caption});
        for (std::size_t r = 0; r < 4; ++r) {
            const int top = 28 + 28 * static_cast<int>(r);
            const std::string hint = r == 3 ? std::string(kAutoScaleHint)
                                            : "Scale " + std::to_string(r + 1) +
                                                  " Offset Values in " + table.unit;
            w.rows.push_back({.name = labelFor(controls::scaleField(table.prefix, r, 0), 4, 1),
                              .parent = table.box, .place = {12, top, 59, 22},
                              .caption = std::string(kScaleRowCaptions[r]), .hint = hint});
            for (std::size_t k = 0; k < kScaleRowLength; ++k)
                w.rows.push_back({.name = controls::scaleField(table.prefix, r, k),
                                  .kind = K::Edit, .parent = table.box,
                                  .place = {77 + 54 * static_cast<int>(k), top, 48, 22},
                                  .hint = hint, .align = Align::Right});
        }
    }
    w.rows.push_back({.name = "bLightBarDefaults", .kind = K::Button, .place = {11, 489, 106, 21},
                      .caption = "Light Bar defaults",
                      .hint = "Set all offsets and scale names to Light Bar defaults"});
    w.rows.push_back({.name = "bClearScales", .kind = K::Button, .place = {123, 489, 101, 21},
                      .caption = "Clear all settings"});
    w.rows.push_back(
        {.name = "bScalesOK", .kind = K::Button, .place = {446, 489, 80, 21}, .caption = "Close"});
    return w;
}

WindowLayout tiltCalibrationLayout() {
    WindowLayout w = dialog("TfTiltTempCal", "Tilt Temperature Calibration", 528, 258);
    for (const TiltColumn& column : kTiltColumns)
        w.rows.push_back({.name = column.header, .place = {column.left, 11, column.width, 13},
                          .caption = column.caption, .align = Align::Centre});
    for (std::size_t r = 0; r < kTiltRows.size(); ++r) {
        const TiltRow& row = kTiltRows[r];
        const int top = 30 + 28 * static_cast<int>(r);
        w.rows.push_back({.name = row.label, .place = {11, top, 124, 22}, .caption = row.caption});
        for (std::size_t c = 0; c < kTiltColumns.size(); ++c) {
            if (!*row.controls[c]) continue;
            // Tab skips the Fahrenheit fields: they only show the Celsius value converted.
            w.rows.push_back({.name = row.controls[c], .kind = K::Edit,
                              .place = {kTiltColumns[c].left, top, 64, 22}, .align = Align::Right,
                              .flags = c == kFahrenheitColumn ? unsigned{F::NoTabStop} : 0u});
        }
    }
    w.rows.push_back({.name = "bAcquireReadingsFromLb", .kind = K::Button,
                      .place = {11, 226, 264, 21},
                      .caption = "Acquire Readings from Light Bar Data Memory"});
    w.rows.push_back({.name = "bTempTempCalClear", .kind = K::Button, .place = {281, 226, 80, 21},
                      .caption = "Clear"});
    w.rows.push_back({.name = "bTiltTempCalClose", .kind = K::Button,
                      .place = {437, 226, 80, 21}, .caption = "Close"});
    return w;
}

WindowLayout aboutWindowLayout() {
    constexpr Font kTitle{FontFace::Design, 16, true};
    constexpr Font kContact{FontFace::Design, 11, false};
    constexpr Font kButton{FontFace::Design, 12, false};
    WindowLayout w{.name = "TfAboutWindow",
                   .caption = "About",
                   .clientWidth = 392,
                   .clientHeight = 249,
                   .font = kTitle};
    w.rows = {
        {.name = "lProgramName", .place = {0, 2, 392, 18}, .font = kTitle,
         .colour = Colour::Black, .align = Align::Centre},
        {.name = "lVersion", .place = {0, 20, 392, 18}, .caption = "Version: ", .font = kTitle,
         .colour = Colour::Black, .align = Align::Centre},
        {.name = "pLogo", .kind = K::Area, .place = {0, 38, 392, 166}, .colour = Colour::Black},
        // The logo's bitmap: the panel's width less twice the picture's left offset, down to
        // the first contact line.
        {.name = "iLogo", .kind = K::Image, .parent = "pLogo", .place = {5, 2, 382, 132}},
        {.name = "lContact1", .parent = "pLogo", .place = {0, 134, 392, 15},
         .caption = "Tessel light bar utility - bench and factory", .font = kContact,
         .colour = Colour::White, .align = Align::Centre},
        {.name = "lContact2", .parent = "pLogo", .place = {0, 149, 392, 15},
         .caption = "support: tessel.example.org", .font = kContact, .colour = Colour::White,
         .align = Align::Centre},
        {.name = "bOK", .kind = K::Button, .place = {86, 208, 100, 25}, .caption = "OK",
         .font = kButton, .flags = F::DefaultButton},
        {.name = "bVeltraneWebSite", .kind = K::Button, .place = {206, 208, 120, 25},
         .caption = "Torva Web Site", .font = kButton},
        {.name = "lNotice", .place = {0, 236, 392, 12},
         .caption = "Tessel is free software; it comes with no warranty.",
         .font = {FontFace::Design, 10, false}, .colour = Colour::Black, .align = Align::Centre},
    };
    return w;
}

std::string settingsLine(std::string_view settingsPath) {
    return "Settings: " + std::string(settingsPath);
}

// The body's size follows its text: its row gives the margin round it, the button's row the
// button's size (centred under the body).
WindowLayout instructionsBoxLayout(std::string_view programName) {
    WindowLayout w{.name = "instructionsBox",
                   .caption = std::string(kInstructionsHeading),
                   .font = {FontFace::Design, 11, false}};
    w.rows = {
        {.name = "lInstructionsBody", .place = {11, 11, 0, 0},
         .caption = instructionsBody(programName), .font = {FontFace::Fixed, 12, false}},
        {.name = "bOK", .kind = K::Button, .place = {0, 0, 75, 23}, .caption = "OK",
         .flags = F::DefaultButton},
    };
    return w;
}

WindowLayout historyWindowLayout(int clientWidth, int clientHeight) {
    WindowLayout w = dialog("TfHistory", "Job History", 760, 360);
    const int dx = std::max(0, clientWidth - w.clientWidth);
    const int dy = std::max(0, clientHeight - w.clientHeight);
    w.clientWidth += dx;
    w.clientHeight += dy;
    w.rows = {
        {.name = "reHistory", .kind = K::RichText, .place = {8, 8, 744 + dx, 310 + dy},
         .font = {FontFace::Fixed, 12, false}},
        {.name = "bHistoryClose", .kind = K::Button, .place = {672 + dx, 328 + dy, 80, 24},
         .caption = "Close", .flags = F::DefaultButton},
    };
    return w;
}

} // namespace tessel
