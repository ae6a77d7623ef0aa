// Each real back end of the USB adapters (LibFtdiAdapters, D2xxAdapters) through a double of its
// driver in front of the emulated FT232R: jobs run as through the emulated adapter, an open the
// system refuses is 32 with its reason in the log and the job's summary, and an adapter pulled
// out or stuck mid-exchange ends the job with 32 and its reason within the exchange's deadline.
#include "BackEndDouble.h"

#include "jobs/JobBench.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

struct BackEndBench {
    JobBench b{{}, backEndBefore};
    std::vector<JobSummary> summaries;

    BackEndBench() {
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
    BlockArea area;
    ASSERT_EQ(t.b.engine.readBlock(area), 0) << ::testing::PrintToString(t.b.window.texts());
    ConfigBlock changed = JobBench::sampleRecord();
    changed.productName = "KD-8";
    ASSERT_EQ(t.b.engine.programBlock(JobBench::rendered(changed)), 0);
    EXPECT_EQ(t.b.flashRecord().productName, "KD-8");
    EXPECT_EQ(t.summaries.back().sckHz, 100000u);
    EXPECT_TRUE(t.b.adapter.serialDriverBound());
    EXPECT_EQ(t.b.adapter.pinsAtEnd(), 0x15);
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
    EXPECT_FALSE(t.b.adapter.held());
}

TEST(UsbBackEnd, AnAdapterPulledOutOrStuckEndsTheJobWithinItsDeadline) {
    for (const bool stuck : {false, true}) {
        BackEndBench t;
        std::uint64_t from = 0;
        t.b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
            if (l.text != " Reading Light Bar VCB") return;
            if (stuck) t.b.adapter.stopAfterBytes(10);
            else t.b.adapter.unplugAfterBytes(10);
            from = t.b.clock.micros();
        };
        BlockArea area;
        EXPECT_EQ(t.b.engine.readBlock(area), 32);
        EXPECT_EQ(t.b.window.lastLine(), stuck ? " COMM System Error: the adapter stopped answering"
                                                : " COMM System Error: the adapter was unplugged");
        EXPECT_EQ(t.summaries.back().linkFailure, stuck ? "the adapter stopped answering" : "the adapter was unplugged");
        // A run of 63 reads: 4092 pin states at 200,000 a second, twice, and 200 ms; a driver's
        // wait may end up to 50 ms past it.
        EXPECT_LE(t.b.clock.micros() - from, 2 * 20'460 + 1'000 + 200'000 + 55'000u);
        EXPECT_FALSE(t.b.adapter.held());
    }
}

} // namespace
} // namespace tessel::testing
