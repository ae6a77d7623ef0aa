// Nothing a light bar holds is lost: whole records survive conversions, a block survives Cancel,
// signals and link failures after the erase, and every write is preceded by a backup.
#include "JobTest.h"

#include "block/RecordFields.h"

namespace tessel::testing {
namespace {

// Every field set: all options, names (trailing blank and colon included), eight values in
// every row, a complete tilt group with negative members.
ConfigBlock fullRecord(int format) {
    ConfigBlock r;
    r.format = format;
    r.serialNumber = 271828;
    r.customerId = 3;
    r.productName = "LB-3000 ";
    r.tapeMinRadius = 12.5;
    r.minSogForCogKph = 0.25;
    r.tiltOpAmpGain = 3.125;
    r.skipTapeMinRadius = r.skipMinSogForCog = r.skipTiltOpAmpGain = false;
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        r.options[i] = i % 2 == 0 ? OptionState::Yes : OptionState::No;
    r.option(SwitchOption::Tilt) = OptionState::Yes;
    r.scaleNames = {"AB ", "CDE", "FG:", "H-J"};
    for (std::size_t row = 0; row < 4; ++row)
        for (std::size_t k = 0; k < kScaleRowLength; ++k) {
            r.metricScales[row][k] = static_cast<std::uint16_t>(1000 * (row + 1) + 10 * k + 1);
            r.englishScales[row][k] = static_cast<std::uint16_t>(9000 - 100 * row - k);
        }
    for (std::size_t i = 0; i < fields::kTilt.size(); ++i)
        fields::kTilt[i].set(r.tiltCalibration, (i % 3 == 0 ? -1 : 1) * static_cast<int>(7 * i + 3));
    return r;
}

using ConvertKeepsEverything = JobTest;

TEST_F(ConvertKeepsEverything, AFullRecordThereAndBackInBothFormats) {
    for (int format : {1, 2}) {
        const int other = 3 - format;
        const ConfigBlock record = fullRecord(format);
        ASSERT_TRUE(record.isTiltCalibrationComplete());
        b.putRecord(record);

        ASSERT_EQ(b.engine.convertBlock(other), 0) << log();
        ConfigBlock converted = record;
        converted.format = other;
        EXPECT_EQ(b.flashRecord(), converted) << format;

        ASSERT_EQ(b.engine.convertBlock(format), 0) << log();
        EXPECT_EQ(b.flashRecord(), record) << format;
    }
}

} // namespace
} // namespace tessel::testing
