#pragma once

#include "block/RecordFields.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace tessel::labels {

// The texts that name a block's lines, in the order a rendered block carries them.
inline constexpr std::string_view kTitle = "< Veltrane Configuration Block >";
inline constexpr std::string_view kVcbFormat = "VCB Format";
inline constexpr std::string_view kSerialNumber = "S/N";
inline constexpr std::string_view kCustomerId = "Customer ID";
inline constexpr std::string_view kProductName = "Product Name";
// The numeric options, switch options and tilt calibration members: fields::kNumericOptions,
// fields::kSwitches and fields::kTilt (RecordFields.h).

inline constexpr std::array<std::string_view, 4> kScaleNames = {
    "Offset Scale 1 Name", "Offset Scale 2 Name", "Offset Scale 3 Name", "Offset Scale 4 Name"};
inline constexpr std::array<std::string_view, 4> kMetricScales = {
    "Mt Offset Scale 1", "Mt Offset Scale 2", "Mt Offset Scale 3", "Mt Offset Scale 4"};
inline constexpr std::array<std::string_view, 4> kEnglishScales = {
    "Ft Offset Scale 1", "Ft Offset Scale 2", "Ft Offset Scale 3", "Ft Offset Scale 4"};

inline constexpr std::string_view kClosingSeparator = " ------------------------";
inline constexpr std::string_view kEndMarker = "< end >";

inline constexpr std::size_t kLabelCount = 52;

// The whole table in rendering order: title, identity, options, scales, tilt, separator, end.
inline constexpr std::array<std::string_view, kLabelCount> kLabelTable = [] {
    std::array<std::string_view, kLabelCount> table{};
    std::size_t n = 0;
    for (auto label : {kTitle, kVcbFormat, kSerialNumber, kCustomerId, kProductName})
        table[n++] = label;
    for (const auto& option : fields::kNumericOptions)
        table[n++] = option.label;
    for (const auto& option : fields::kSwitches)
        table[n++] = option.label;
    for (auto label : kScaleNames)
        table[n++] = label;
    for (auto label : kMetricScales)
        table[n++] = label;
    for (auto label : kEnglishScales)
        table[n++] = label;
    for (const auto& member : fields::kTilt)
        table[n++] = member.label;
    table[n++] = kClosingSeparator;
    table[n++] = kEndMarker;
    return table;
}();

// Further vocabulary of the block text.
inline constexpr std::string_view kYes = "yes";
inline constexpr std::string_view kNo = " no";
inline constexpr std::string_view kOptionsSeparator = "     --- Options ---";
// The main window's caption: a block line carrying it is recognised and ignored.
inline constexpr std::string_view kProgrammerCaption = "Veltrane Configuration Block Programmer";

// Display-only lines, carried through conversion under each format's name.
inline constexpr std::string_view kDisplayModeF1 = "Display Mode";
inline constexpr std::string_view kDisplayBaudF1 = "Display Only BAUD Rate";
inline constexpr std::string_view kDisplayModeF2 = "Display-Only Mode";
inline constexpr std::string_view kDisplayBaudF2 = "Display-Only BAUD";

// "< end >" with its CR LF: the distance from the end marker's first byte to the block's end.
inline constexpr std::size_t kEndLineLength = kEndMarker.size() + 2;
// Reading a block from the light bar stops this far past the end marker's first byte: the end
// line and two bytes more.
inline constexpr std::size_t kEndReadLength = kEndLineLength + 2;

} // namespace tessel::labels
