#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// Three-way value of a switch option; Skip keeps its line out of the block.
enum class OptionState : std::uint8_t { Yes = 0, No = 1, Skip = 2 };

// Index of each switch option in ConfigBlock::options (the block's label order).
enum class SwitchOption : std::size_t {
    AdvancedTape = 0,
    AdvTapeDisplay,
    FastConfig,
    ScalesDisplay,
    Tilt,
    BypassBttf,
    Did20,
    MrvUseSol,
    UseLanguageDsp,
    UseMetersOffDsp,
};
inline constexpr std::size_t kSwitchCount = 10;

// "Yes", "No" or "Skip": how tools outside the block text name a switch value.
constexpr const char* optionStateName(OptionState s) {
    return s == OptionState::Yes ? "Yes" : s == OptionState::No ? "No" : "Skip";
}

// The tilt sensor's temperature calibration: same order and widths as the record in the light
// bar's data memory. Code that treats all twenty alike walks fields::kTilt (RecordFields.h).
struct TiltCalibration {
    std::uint16_t zeroGTestI = 0;
    std::uint16_t zeroGTestQ = 0;
    std::uint16_t oneGTestI = 0;
    std::uint16_t oneGTestQ = 0;
    std::int16_t hiTempC = 0;
    std::int16_t midTempC = 0;
    std::int16_t loTempC = 0;
    std::int16_t hiTempTiltAtCal = 0;
    std::int16_t midTempTiltAtCal = 0;
    std::int16_t loTempTiltAtCal = 0;
    std::uint16_t hiTempICal = 0;
    std::uint16_t hiTempQCal = 0;
    std::uint16_t midTempICal = 0;
    std::uint16_t midTempQCal = 0;
    std::uint16_t loTempICal = 0;
    std::uint16_t loTempQCal = 0;
    std::int8_t hiTempISlope = 0;
    std::int8_t loTempISlope = 0;
    std::int8_t hiTempQSlope = 0;
    std::int8_t loTempQSlope = 0;

    // All six zero-tilt sensor readings are non-zero.
    bool isComplete() const;

    bool operator==(const TiltCalibration&) const = default;
};

// Customer names indexed by the block's customer ID.
inline constexpr std::array<std::string_view, 6> CustomerNames = {
    "Invalid Customer Id", "Torva", "Veltrane", "Menvo", "DELMO", "Lustrel"};

// The name of a customer ID; an ID outside 0..5 names customer 0.
std::string_view customerName(int customerId);
// Index of the row of CustomerNames equal to the text (leading blanks skipped on both sides,
// case-sensitive); 0 when none matches.
int customerIdFromName(std::string_view name);

inline constexpr std::size_t kProductNameMax = 19;
inline constexpr std::size_t kScaleNameLength = 3;
inline constexpr std::size_t kScaleRowLength = 8;
inline constexpr std::int32_t kDefaultSerialNumber = 100;

using ScaleRow = std::array<std::uint16_t, kScaleRowLength>;

// The in-memory record of one configuration block.
struct ConfigBlock {
    int format = 2; // 1, 2, or 0 for an unknown format / no block
    std::int32_t serialNumber = kDefaultSerialNumber;
    int customerId = 1;
    std::string productName = "TQM.800";

    double tapeMinRadius = 3.048; // metres
    bool skipTapeMinRadius = true;
    double minSogForCogKph = 3.218;
    bool skipMinSogForCog = true;
    double tiltOpAmpGain = 3.125;
    bool skipTiltOpAmpGain = true;

    std::array<OptionState, kSwitchCount> options{};

    std::array<std::string, 4> scaleNames;
    std::array<ScaleRow, 4> metricScales{};  // centimetres
    std::array<ScaleRow, 4> englishScales{}; // tenths of feet

    TiltCalibration tiltCalibration;

    ConfigBlock() { options.fill(OptionState::Skip); }

    // Every member but the tilt calibration back to its default; scale names empty.
    void fullReset(std::int32_t serialNumberDefault);
    // As fullReset, but each scale name becomes three blanks (what a parse starts from).
    void resetBeforeParsing(std::int32_t serialNumberDefault);
    // The block "Init Default VCB" writes: reset before parsing, format 2, serial number 1.
    void setDefaultBlock();

    // Stores 1 or 2; any other value stores 0.
    void setFormat(long long value);
    bool isTiltCalibrationComplete() const { return tiltCalibration.isComplete(); }

    OptionState& option(SwitchOption which) { return options[static_cast<std::size_t>(which)]; }
    OptionState option(SwitchOption which) const {
        return options[static_cast<std::size_t>(which)];
    }

    bool operator==(const ConfigBlock&) const = default;
};

} // namespace tessel
