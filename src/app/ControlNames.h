#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The names of the window controls the record moves through (see ControlValues).
namespace tessel::controls {

// Main window.
inline constexpr std::string_view kFormatNumber = "lFormatNumber";
inline constexpr std::string_view kVcbFormat1 = "mVcbFormat1";
inline constexpr std::string_view kVcbFormat2 = "mVcbFormat2";
inline constexpr std::string_view kSerialNumber = "memoSerialNumber";
inline constexpr std::string_view kProductName = "memoProductName";
inline constexpr std::string_view kCustomerId = "memoCustomerId";
// Commands whose availability the load step sets.
inline constexpr std::string_view kConvertToFormat1 = "mConvertVcbToFormat1";
inline constexpr std::string_view kConvertToFormat2 = "mConvertVcbToFormat2";
inline constexpr std::string_view kInitDefaultVcb = "mInitDefaultVcb";
inline constexpr std::string_view kRestoreFromBackup = "mRestoreFromBackup";
inline constexpr std::string_view kProgCode = "bProgCode";
inline constexpr std::string_view kVerifyCode = "bVerifyCode";
inline constexpr std::string_view kProgVcb = "bProgVcb";
inline constexpr std::string_view kVerifyVcb = "bVerifyVcb";
inline constexpr std::string_view kTiltTempCal = "mShowTiltTempCal";

// The controls of the numeric options, switch options and tilt calibration members are named in
// their rows of the record's field tables (block/RecordFields.h).

// Swath offset scales dialog.
inline constexpr std::array<std::string_view, 4> kScaleNames = {"memoScale1Name", "memoScale2Name",
                                                                "memoScale3Name", "memoScale4Name"};
inline constexpr std::string_view kMetricScalePrefix = "memoMtScale";  // + row + position
inline constexpr std::string_view kEnglishScalePrefix = "memoFtScale"; // + row + position
// A value field by its row and position, both counted from 0: scaleField(kMetricScalePrefix,
// 0, 7) is "memoMtScale18".
inline std::string scaleField(std::string_view prefix, std::size_t row, std::size_t position) {
    std::string name(prefix);
    name += static_cast<char>('1' + row);
    name += static_cast<char>('1' + position);
    return name;
}

// The rows of both scale tables, as the dialog captions them.
inline constexpr std::array<std::string_view, 4> kScaleRowCaptions = {"Scale 1", "Scale 2",
                                                                      "Scale 3", "Auto Scale"};
// A value row by its table and row (from 0), for the operator: "Metric Offset Scale 3".
inline std::string scaleRowName(std::string_view prefix, std::size_t row) {
    return std::string(prefix == kMetricScalePrefix ? "Metric" : "English") + " Offset " +
           std::string(kScaleRowCaptions[row]);
}

// The hi, mid and lo Celsius fields, and the Fahrenheit fields beside them (shown only, never
// collected).
inline constexpr std::array<std::string_view, 3> kCelsiusFields = {
    "memoHiTempCalC", "memoMidTempCalC", "memoLoTempCalC"};
inline constexpr std::array<std::string_view, 3> kFahrenheitFields = {
    "memoHiTempCalF", "memoMidTempCalF", "memoLoTempCalF"};

} // namespace tessel::controls
