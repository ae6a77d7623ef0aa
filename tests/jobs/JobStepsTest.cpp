// A job is a sequence of steps the frame runs while the result is 0: the frame, not each step,
// keeps a failed job away from the light bar.
#include "JobTest.h"

#include "jobs/JobFrame.h"

namespace tessel::testing {
namespace {

using JobStepSequence = JobTest;

TEST_F(JobStepSequence, AStepAddedAfterAFailureNeverRuns) {
    JobFrame frame(b.cable, b.clock, b.settings, b.window);
    std::uint64_t callsAfterFailure = 0;
    bool addedStepRan = false;
    const ResultCode r = frame.run(
        {.title = "--- Steps ---"},
        {
            [&] {
                b.lightBar.failLineCallsAfter(0); // the cable is pulled
                frame.isp().readFlashByte(0x1F000);
                callsAfterFailure = b.lightBar.counts().lineCalls();
            },
            [&] { // a step added later, with no check of its own
                addedStepRan = true;
                frame.isp().readFlashByte(0x1F001);
            },
        });
    EXPECT_EQ(r, result::CommSystemError);
    EXPECT_FALSE(addedStepRan);
    EXPECT_EQ(b.lightBar.counts().lineCalls(), callsAfterFailure);
    EXPECT_EQ(b.window.errorTexts(), std::vector<std::string>{kPulledCable}) << log();
    EXPECT_EQ(b.window.okWaits, 1) << "the job still ends with its report and the OK prompt";
}

} // namespace
} // namespace tessel::testing
