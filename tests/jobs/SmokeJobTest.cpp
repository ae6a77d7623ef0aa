#include "JobBench.h"

#include "support/ResultCode.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

TEST(SmokeJobs, ReadsARenderedBlockBack) {
    JobBench b;
    b.putRecord(JobBench::sampleRecord());
    BlockArea area;
    area.fill(0);
    EXPECT_EQ(b.engine.readBlock(area), 0) << ::testing::PrintToString(b.window.texts());
    ConfigBlock parsed;
    parseBlock(area, parsed);
    EXPECT_EQ(parsed.serialNumber, 314159);
    EXPECT_EQ(b.lightBar.timingViolations(), 0u);
}

TEST(SmokeJobs, ProgramsAChangedValueInPlace) {
    JobBench b;
    b.putRecord(JobBench::sampleRecord());
    auto changed = JobBench::sampleRecord();
    changed.productName = "KD-8";
    BlockArea ref;
    renderBlock(changed, ref);
    EXPECT_EQ(b.engine.programBlock(ref), 0) << ::testing::PrintToString(b.window.texts());
    EXPECT_EQ(b.window.okCancelQuestions, 0) << "no erase needed";
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 0);
    ConfigBlock parsed;
    parseBlock(area, parsed);
    EXPECT_EQ(parsed.productName, "KD-8") << std::string(reinterpret_cast<const char*>(area.data()), 400);
    EXPECT_EQ(b.lightBar.timingViolations(), 0u);
}

} // namespace
} // namespace tessel::testing
