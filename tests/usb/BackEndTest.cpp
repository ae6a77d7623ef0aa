// Each real back end of the USB adapters (libftdi on Linux, the D2XX DLL on Windows) through a
// double of its driver in front of the emulated FT232R: jobs run as through the emulated adapter,
// an open the system refuses is 32 with its reason in the log and the job's summary, and an
// adapter pulled out or stuck ends the job with 32 and its reason, never with enable tries, and
// within the exchange's deadline on the job's clock. The emulated adapter's own device too.
#include "BackEndDouble.h"

#include "jobs/JobBench.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

struct BackEndBench {
    JobBench b;
    std::vector<JobSummary> summaries;

    explicit BackEndBench(bool real = true) : b({}, real ? backEndBefore : JobBench::BackEndMaker{}) {
        b.useAdapter();
        b.putRecord(JobBench::sampleRecord());
        b.engine.setJobEndListener([this](const JobSummary& s) {
            summaries.push_back(s);
            return std::string();
        });
    }
};

TEST(UsbBackEnd, RunsJobsAsTheEmulatedAdapterDoes) {
    BackEndBench t;
    ConfigBlock changed = JobBench::sampleRecord();
    changed.productName = "KD-8";
    ASSERT_EQ(t.b.engine.programBlock(JobBench::rendered(changed)), 0) << ::testing::PrintToString(t.b.window.texts());
    EXPECT_EQ(t.b.flashRecord().productName, "KD-8");
    EXPECT_EQ(t.summaries.back().sckHz, 100000u);
    EXPECT_TRUE(t.b.adapter.serialDriverBound());
    EXPECT_EQ(t.b.lightBar.timingViolations(), 0u);
}

TEST(UsbBackEnd, AnOpenTheSystemRefusesIs32WithItsReason) {
    BackEndBench t;
    refuseNextOpen();
    BlockArea area;
    EXPECT_EQ(t.b.engine.readBlock(area), 32);
    const std::string line = " Cannot open ftdi: (the first FT232R found): " + refusedOpenReason();
    EXPECT_EQ(t.b.window.texts(), (std::vector<std::string>{line, " COMM System Error"}));
    EXPECT_EQ(t.summaries.back().linkFailure, line.substr(1));
}

TEST(UsbBackEnd, AnAdapterPulledOutOrStuckEndsTheJobWithinItsDeadline) {
    for (const bool real : {true, false})
        for (const bool stuck : {false, true})
            for (const bool atEnable : {true, false}) {
                BackEndBench t(real);
                std::uint64_t from = 0;
                auto fault = [&](std::uint64_t bytes) {
                    if (stuck) t.b.adapter.stopAfterBytes(bytes);
                    else t.b.adapter.unplugAfterBytes(bytes);
                    from = t.b.clock.micros();
                };
                if (atEnable) fault(200); // the lines set, the enable on its way
                t.b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
                    if (l.text == " Reading Light Bar VCB" && !atEnable) fault(10);
                };
                BlockArea area;
                EXPECT_EQ(t.b.engine.readBlock(area), 32);
                const std::string why = stuck ? "the adapter stopped answering" : "the adapter was unplugged";
                EXPECT_EQ(t.b.window.lastLine(), " COMM System Error: " + why);
                EXPECT_EQ(t.summaries.back().linkFailure, why);
                EXPECT_FALSE(t.b.window.everLoggedLine(" try 1 failed-echoed 00 00 expected 53 00"));
                EXPECT_FALSE(t.b.adapter.held());
                // A run of 63 reads: 4092 pin states at 200,000 a second, twice, and 200 ms; a
                // driver's wait may end up to 50 ms past it.
                if (!atEnable) {
                    EXPECT_LE(t.b.clock.micros() - from, 2 * 20'460 + 1'000 + 200'000 + 55'000u);
                }
            }
}

} // namespace
} // namespace tessel::testing
