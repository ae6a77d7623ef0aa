#include "block/ConfigBlock.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(ConfigBlock, ResetsGiveTheDefaultsAndKeepTheTiltCalibration) {
    ConfigBlock record;
    record.format = 1;
    record.serialNumber = 5;
    record.customerId = 4;
    record.productName = "X";
    record.skipTapeMinRadius = false;
    record.tapeMinRadius = 9;
    record.options.fill(OptionState::Yes);
    record.scaleNames[0] = "FIN";
    record.metricScales[1][0] = 7;
    record.tiltCalibration.hiTempICal = 42;

    record.fullReset(321);
    EXPECT_EQ(record.format, 2);
    EXPECT_EQ(record.serialNumber, 321);
    EXPECT_EQ(record.customerId, 1);
    EXPECT_EQ(record.productName, "TQM.800");
    EXPECT_DOUBLE_EQ(record.tapeMinRadius, 3.048);
    EXPECT_DOUBLE_EQ(record.minSogForCogKph, 3.218);
    EXPECT_DOUBLE_EQ(record.tiltOpAmpGain, 3.125);
    EXPECT_TRUE(record.skipTapeMinRadius && record.skipMinSogForCog && record.skipTiltOpAmpGain);
    for (auto state : record.options)
        EXPECT_EQ(state, OptionState::Skip);
    for (const auto& name : record.scaleNames)
        EXPECT_EQ(name, "");
    EXPECT_EQ(record.metricScales[1][0], 0);
    EXPECT_EQ(record.tiltCalibration.hiTempICal, 42) << "only the read job clears the tilt group";

    record.resetBeforeParsing(100);
    for (const auto& name : record.scaleNames)
        EXPECT_EQ(name, "   ");
    EXPECT_EQ(record.serialNumber, 100);

    record.setDefaultBlock();
    EXPECT_EQ(record.format, 2);
    EXPECT_EQ(record.serialNumber, 1);
    EXPECT_EQ(record.scaleNames[3], "   ");
}

TEST(ConfigBlock, SetFormatKeepsOnlyOneAndTwo) {
    ConfigBlock record;
    for (long long value : {1LL, 2LL}) {
        record.setFormat(value);
        EXPECT_EQ(record.format, value);
    }
    for (long long value : {0LL, 3LL, -1LL, 1LL << 40}) {
        record.setFormat(value);
        EXPECT_EQ(record.format, 0) << value;
    }
}

TEST(ConfigBlock, CustomerNamesAndLookup) {
    EXPECT_EQ(customerName(2), "Veltrane");
    EXPECT_EQ(customerName(7), "Invalid Customer Id");
    EXPECT_EQ(customerName(-1), "Invalid Customer Id");
    EXPECT_EQ(customerIdFromName("Veltrane"), 2);
    EXPECT_EQ(customerIdFromName("   Veltrane"), 2);
    EXPECT_EQ(customerIdFromName("VELTRANE"), 0);
    EXPECT_EQ(customerIdFromName("Veltrane "), 0);
    EXPECT_EQ(customerIdFromName("Lustrel"), 5);
    EXPECT_EQ(customerIdFromName(""), 0);
}

TEST(ConfigBlock, TiltCalibrationIsCompleteOnlyWithAllSixZeroTiltReadings) {
    ConfigBlock record;
    EXPECT_FALSE(record.isTiltCalibrationComplete());
    auto& t = record.tiltCalibration;
    t.hiTempICal = t.hiTempQCal = t.midTempICal = t.midTempQCal = t.loTempICal = 1;
    EXPECT_FALSE(record.isTiltCalibrationComplete());
    t.loTempQCal = 1;
    EXPECT_TRUE(record.isTiltCalibrationComplete());
}

} // namespace
} // namespace tessel
