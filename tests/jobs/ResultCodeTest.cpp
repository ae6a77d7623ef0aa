#include "jobs/ResultCode.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(ResultCode, MessagesKeepTheirExactTextAndUnknownCodesReadAsError) {
    EXPECT_STREQ(resultMessage(0), "Ok");
    EXPECT_STREQ(resultMessage(8), "Chip is not responding");
    EXPECT_STREQ(resultMessage(22), "S/N change Cancelled ");
    EXPECT_STREQ(resultMessage(32), "COMM System Error");
    EXPECT_STREQ(resultMessage(33), "Error");
    EXPECT_STREQ(resultMessage(40), "Error");
    EXPECT_STREQ(resultMessage(-1), "Error");
}

TEST(FinalReport, QuietForSuccessCancelAndAbort) {
    EXPECT_TRUE(finalReportLines(0).empty());
    EXPECT_TRUE(finalReportLines(20).empty());
    EXPECT_TRUE(finalReportLines(23).empty());
}

TEST(FinalReport, OtherCodesGiveOneLineWithTheMessage) {
    EXPECT_EQ(finalReportLines(40), std::vector<std::string>{" Error"});
    EXPECT_EQ(finalReportLines(8), std::vector<std::string>{" Chip is not responding"});
    EXPECT_EQ(finalReportLines(28), std::vector<std::string>{" VCB Verify Error"});
}

TEST(FinalReport, BoxesNameTheCommandToRun) {
    const auto noBlock = finalReportLines(5);
    ASSERT_EQ(noBlock.size(), 5u);
    EXPECT_EQ(noBlock[1], " **   -- No Serial Number ---    **");
    EXPECT_EQ(noBlock[2], " **  Execute 'Init Default VCB'  **");
    EXPECT_EQ(finalReportLines(25), noBlock);

    const auto needs1 = finalReportLines(29);
    ASSERT_EQ(needs1.size(), 5u);
    EXPECT_EQ(needs1[0], " ***************************************");
    EXPECT_EQ(needs1[2], " ** Execute 'Convert VCB to Format 1' **");
    EXPECT_EQ(finalReportLines(30)[2], " ** Execute 'Convert VCB to Format 2' **");
    EXPECT_EQ(needs1[0].size(), needs1[2].size()) << "the box's lines are of equal width";

    const auto bad = finalReportLines(26);
    EXPECT_EQ(bad[1], " ** -- Incorrect VCB Format --   **");
    EXPECT_EQ(bad[2], " ** Execute 'Convert VCB Format' **");
}

} // namespace
} // namespace tessel
