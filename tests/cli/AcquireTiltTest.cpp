// acquire-tilt end to end on a virtual light bar whose data memory holds a calibration record.
#include "CliRunner.h"
#include "app/TiltRecordBytes.h"

#include "cli/Json.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

void putRecordInState(CliRunner& cli, std::uint32_t at, const TiltCalibration& t) {
    VirtualClock clock;
    VirtualLightBar bar(clock);
    putTiltRecord(bar, at, t);
    ASSERT_TRUE(bar.save(cli.state));
}

TEST(CliAcquireTilt, PrintsTheTwentyValuesOrSaysThereIsNoCompleteRecord) {
    CliRunner cli;
    EXPECT_EQ(cli.run({"acquire-tilt"}), 66) << "a blank data memory";
    EXPECT_EQ(cli.out.find("zeroGTestI"), std::string::npos);
    EXPECT_NE(cli.err.find("holds no tilt calibration record"), std::string::npos) << cli.err;

    TiltCalibration incomplete = sampleTilt();
    incomplete.hiTempICal = 0;
    putRecordInState(cli, 300, incomplete);
    EXPECT_EQ(cli.run({"acquire-tilt", "--json"}), 66);
    EXPECT_NE(cli.err.find("incomplete"), std::string::npos) << cli.err;

    putRecordInState(cli, 300, sampleTilt());
    ASSERT_EQ(cli.run({"acquire-tilt", "--json"}), 0) << cli.err;
    const Json tilt = parseJson(cli.out.substr(cli.out.find('{'))); // after any job log
    EXPECT_EQ(tilt.size(), 20u);
    EXPECT_EQ(tilt.at("hiTempTiltAtCal"), -10);
    EXPECT_EQ(tilt.at("loTempQCal"), 40005);
    EXPECT_EQ(tilt.at("hiTempQSlope"), -128);

    ASSERT_EQ(cli.run({"acquire-tilt", "--out", cli.path("tilt.txt")}), 0);
    const std::string text = readFile(cli.path("tilt.txt"));
    EXPECT_NE(text.find("zeroGTestI: 512\n"), std::string::npos) << text;
    EXPECT_NE(text.find("midTempTiltAtCal: 160\n"), std::string::npos) << text;
}

} // namespace
} // namespace tessel::testing
