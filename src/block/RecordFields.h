#pragma once

#include "block/ConfigBlock.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

// The record's repeated fields, each described once: the label that names it in a block, the
// window control that shows it, its name for other tools (the JSON key) and the member it lives
// in. The renderer, the parser, the window transfer and the command line all walk these tables,
// so a field is added or renamed here alone.
namespace tessel::fields {

// One numeric option and its skip flag.
struct NumericOption {
    std::string_view label;       // "Tape Min Radius"
    std::string_view control;     // the options dialog's text field
    std::string_view skipControl; // the options dialog's skip box
    std::string_view key;
    std::string_view skipKey;
    double ConfigBlock::*value;
    bool ConfigBlock::*skip;
};

inline constexpr std::array<NumericOption, 3> kNumericOptions = {{
    {"Tape Min Radius", "memoTapeMinRadius", "cbSkipTapeMinRadius", "tapeMinRadius",
     "skipTapeMinRadius", &ConfigBlock::tapeMinRadius, &ConfigBlock::skipTapeMinRadius},
    {"MinSogForCogKph", "memoMinSogForCog", "cbSkipMinSogForCog", "minSogForCogKph",
     "skipMinSogForCog", &ConfigBlock::minSogForCogKph, &ConfigBlock::skipMinSogForCog},
    {"TiltOpAmpGain", "memoTiltOpAmpGain", "cbSkipTiltOpAmpGain", "tiltOpAmpGain",
     "skipTiltOpAmpGain", &ConfigBlock::tiltOpAmpGain, &ConfigBlock::skipTiltOpAmpGain},
}};

// One switch option, in the order of ConfigBlock::options; its label is also its JSON key.
struct SwitchField {
    std::string_view label;
    std::string_view yes; // the options dialog's three radio buttons
    std::string_view no;
    std::string_view skip;
};

inline constexpr std::array<SwitchField, kSwitchCount> kSwitches = {{
    {"Advanced Tape", "rbAdvancedTapeYes", "rbAdvancedTapeNo", "rbAdvancedTapeSkip"},
    {"Adv Tape Display", "rbAdvTapeDispYes", "rbAdvTapeDispNo", "rbAdvTapeDispSkip"},
    {"Fast Config", "rbFastConfigYes", "rbFastConfigNo", "rbFastConfigSkip"},
    {"Scales Display", "rbScalesDisplayYes", "rbScalesDisplayNo", "rbScalesDisplaySkip"},
    {"Tilt", "rbTiltYes", "rbTiltNo", "rbTiltSkip"},
    {"Bypass BTTF", "rbBypassBttfYes", "rbBypassBttfNo", "rbBypassBttfSkip"},
    {"DID_v2.0", "rbDid20Yes", "rbDid20No", "rbDid20Skip"},
    {"MRVuseSOL", "rbMrvUseSolYes", "rbMrvUseSolNo", "rbMrvUseSolSkip"},
    {"Use Language DSP", "rbLangDspOptionYes", "rbLangDspOptionNo", "rbLangDspOptionSkip"},
    {"Use Meters Off DSP", "rbMetersOffDspOptionYes", "rbMetersOffDspOptionNo",
     "rbMetersOffDspOptionSkip"},
}};

// How a tilt calibration member is stored.
enum class Width { U16, S16, S8 };

// One tilt calibration member.
struct TiltField {
    std::string_view label;
    std::string_view control; // the calibration window's text field
    std::string_view key;
    Width width;
    std::int32_t (*get)(const TiltCalibration&);
    // Stores the low 16 or 8 bits of the value, as the member's width allows.
    void (*set)(TiltCalibration&, std::int64_t);
};

template <auto Member>
constexpr TiltField tiltField(std::string_view label, std::string_view control,
                              std::string_view key) {
    using T = std::remove_cvref_t<decltype(std::declval<TiltCalibration&>().*Member)>;
    static_assert(std::is_same_v<T, std::uint16_t> || std::is_same_v<T, std::int16_t> ||
                  std::is_same_v<T, std::int8_t>);
    constexpr Width width = std::is_same_v<T, std::uint16_t>  ? Width::U16
                            : std::is_same_v<T, std::int16_t> ? Width::S16
                                                              : Width::S8;
    return {label, control, key, width,
            [](const TiltCalibration& t) -> std::int32_t { return t.*Member; },
            [](TiltCalibration& t, std::int64_t v) { t.*Member = static_cast<T>(v); }};
}

// In the order of TiltCalibration's members: the order of their block lines and of the
// calibration record in the light bar's data memory.
inline constexpr std::array<TiltField, 20> kTilt = {{
    tiltField<&TiltCalibration::zeroGTestI>("0GItest", "memoZeroGTestI", "zeroGTestI"),
    tiltField<&TiltCalibration::zeroGTestQ>("0GQtest", "memoZeroGTestQ", "zeroGTestQ"),
    tiltField<&TiltCalibration::oneGTestI>("1GItest", "memoOneGTestI", "oneGTestI"),
    tiltField<&TiltCalibration::oneGTestQ>("1GQtest", "memoOneGTestQ", "oneGTestQ"),
    tiltField<&TiltCalibration::hiTempC>("ZTHiTempC", "memoHiTempCalC", "hiTempC"),
    tiltField<&TiltCalibration::midTempC>("ZTMidTempC", "memoMidTempCalC", "midTempC"),
    tiltField<&TiltCalibration::loTempC>("ZTLoTempC", "memoLoTempCalC", "loTempC"),
    tiltField<&TiltCalibration::hiTempTiltAtCal>("ZTHiTempTiltAtCal", "memoHiAngleAtCal",
                                                 "hiTempTiltAtCal"),
    tiltField<&TiltCalibration::midTempTiltAtCal>("ZTMidTempTiltAtCal", "memoMidAngleAtCal",
                                                  "midTempTiltAtCal"),
    tiltField<&TiltCalibration::loTempTiltAtCal>("ZTLoTempTiltAtCal", "memoLoAngleAtCal",
                                                 "loTempTiltAtCal"),
    tiltField<&TiltCalibration::hiTempICal>("ZTHiTempICal", "memoHiTempCalI", "hiTempICal"),
    tiltField<&TiltCalibration::hiTempQCal>("ZTHiTempQCal", "memoHiTempCalQ", "hiTempQCal"),
    tiltField<&TiltCalibration::midTempICal>("ZTMidTempICal", "memoMidTempCalI", "midTempICal"),
    tiltField<&TiltCalibration::midTempQCal>("ZTMidTempQCal", "memoMidTempCalQ", "midTempQCal"),
    tiltField<&TiltCalibration::loTempICal>("ZTLoTempICal", "memoLoTempCalI", "loTempICal"),
    tiltField<&TiltCalibration::loTempQCal>("ZTLoTempQCal", "memoLoTempCalQ", "loTempQCal"),
    tiltField<&TiltCalibration::hiTempISlope>("HiTempISlope", "memoHiTempSlopeI", "hiTempISlope"),
    tiltField<&TiltCalibration::loTempISlope>("LoTempISlope", "memoLoTempSlopeI", "loTempISlope"),
    tiltField<&TiltCalibration::hiTempQSlope>("HiTempQSlope", "memoHiTempSlopeQ", "hiTempQSlope"),
    tiltField<&TiltCalibration::loTempQSlope>("LoTempQSlope", "memoLoTempSlopeQ", "loTempQSlope"),
}};

} // namespace tessel::fields
