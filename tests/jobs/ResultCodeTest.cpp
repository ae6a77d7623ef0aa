#include "jobs/ResultCode.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

// The boxes and messages themselves show in the jobs' own logs (JobFrameTest, BlockJobTest,
// FirmwareJobTest); here only what no job produces: codes outside the table.
TEST(FinalReport, CodesOutsideTheTableReadAsErrorAndTwentyFiveAsNoBlock) {
    EXPECT_STREQ(resultMessage(33), "Error");
    EXPECT_STREQ(resultMessage(-1), "Error");
    EXPECT_EQ(finalReportLines(40), std::vector<std::string>{" Error"});
    EXPECT_EQ(finalReportLines(25), finalReportLines(5));
    EXPECT_TRUE(finalReportLines(20).empty());
    EXPECT_TRUE(finalReportLines(23).empty());
}

} // namespace
} // namespace tessel
