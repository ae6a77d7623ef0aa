#include "jobs/FinalReport.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

// The boxes and messages themselves show in the jobs' own logs (JobFrameTest, BlockJobTest,
// FirmwareJobTest); here only what no job produces: codes outside the jobs' table, and 25.
TEST(FinalReport, CodesOutsideTheTableReadAsErrorAndTwentyFiveAsNoBlock) {
    EXPECT_STREQ(resultMessage(static_cast<ResultCode>(33)), "Error");
    EXPECT_STREQ(resultMessage(static_cast<ResultCode>(-1)), "Error");
    EXPECT_STREQ(resultMessage(result::Usage), "Error") << "the command line's codes are no job's";
    EXPECT_EQ(finalReportLines(static_cast<ResultCode>(40)), std::vector<std::string>{" Error"});
    EXPECT_EQ(finalReportLines(result::InvalidExtantVcb), (std::vector<std::string>{
                                                              " **********************************",
                                                              " **   -- No Serial Number ---    **",
                                                              " **  Execute 'Init Default VCB'  **",
                                                              " **    (See the 'File' menu)     **",
                                                              " **********************************",
                                                          }));
    EXPECT_TRUE(finalReportLines(result::EraseCancelled).empty());
    EXPECT_TRUE(finalReportLines(result::OperationAborted).empty());
}

} // namespace
} // namespace tessel
