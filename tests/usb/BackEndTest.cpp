// Each real back end of the USB adapters (libftdi on Linux, the D2XX DLL on Windows) through a
// double of its driver in front of the emulated FT232R, as a bench meets one: jobs that start and
// leave the lines as a serial port does, a cable too slow for the clock, an open the system
// refuses, an adapter pulled out or stuck mid-exchange (also on the emulated adapter's own device).
#include "BackEndDouble.h"

#include "jobs/JobBench.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessel::testing {
namespace {

struct BackEndBench {
    JobBench b;
    std::vector<JobSummary> summaries;

    // The datasheet's 20 ms from RESET to the enable is checked.
    explicit BackEndBench(bool real = true)
        : b({.resetToEnableMicros = 20000}, real ? backEndBefore : JobBench::BackEndMaker{}) {
        b.useAdapter();
        b.putRecord(JobBench::sampleRecord());
        b.engine.setJobEndListener([this](const JobSummary& s) {
            summaries.push_back(s);
            return std::optional<std::string>();
        });
    }
};

std::size_t linesStartingWith(const JobBench& b, const std::string& start) {
    const auto t = b.window.texts();
    return static_cast<std::size_t>(std::count_if(
        t.begin(), t.end(), [&](const std::string& l) { return l.starts_with(start); }));
}

// Bit-bang mode starts with the lines a serial port leaves (RESET released, SCK and MOSI idle)
// and every job leaves them so, a failed one too; a verify error names the clock as a suspect.
TEST(UsbBackEnd, RunsJobsThatStartAndLeaveTheLinesAsASerialPort) {
    constexpr std::uint8_t kIdle = 0x15; // TXD, RTS# and DTR# high
    BackEndBench t;
    ConfigBlock changed = JobBench::sampleRecord();
    changed.productName = "KD-8";
    ASSERT_EQ(t.b.engine.programBlock(JobBench::rendered(changed)), 0)
        << ::testing::PrintToString(t.b.window.texts());
    EXPECT_EQ(t.b.flashRecord().productName, "KD-8");
    EXPECT_EQ(t.b.adapter.pinsAfterStart(), kIdle);
    EXPECT_EQ(t.b.adapter.pinsAtEnd(), kIdle);
    EXPECT_TRUE(t.b.adapter.serialDriverBound());

    EXPECT_EQ(t.b.engine.verifyBlock(JobBench::rendered(JobBench::sampleRecord())), 28);
    EXPECT_EQ(t.b.adapter.pinsAtEnd(), kIdle) << "RESET let go after a failed job";
    EXPECT_EQ(t.b.window.lastLine(),
              " Through a USB adapter a slower clock may help: lower SckHz in "
              "section [FTDI] of the INI file (now 100000)");
    EXPECT_EQ(t.b.lightBar.timingViolations(), 0u);
}

// The first enable runs at SckHz; unanswered, each try halves it down to 12.5 kHz, the rate that
// answered stands in the log and the job's summary, and the next job starts there.
TEST(UsbBackEnd, ACableTooSlowForTheClockGetsHalfOfIt) {
    BackEndBench t;
    JobBench& b = t.b;
    b.adapter.setCableLimitHz(60000);
    BlockArea area;
    ASSERT_EQ(b.engine.readBlock(area), 0);
    const auto log = b.window.texts();
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
              (std::vector<std::string>{" try 1 failed-echoed 00 00 expected 53 00",
                                        " no answer at 100 kHz: trying 50 kHz",
                                        " FT232R adapter, SCK at 50 kHz"}));
    EXPECT_EQ(t.summaries.back().sckHz, 50000u);

    ASSERT_EQ(b.engine.readBlock(area), 0);
    EXPECT_EQ(b.window.texts().front(), " FT232R adapter, SCK at 50 kHz")
        << "where the last job ended";

    b.adapter.setCableLimitHz(5000); // nothing gets through
    EXPECT_EQ(b.engine.readBlock(area), 8);
    EXPECT_EQ(linesStartingWith(b, " try "), 8u);
    EXPECT_TRUE(b.window.hasLine(" no answer at 25 kHz: trying 12.5 kHz"));
    EXPECT_EQ(linesStartingWith(b, " no answer at "), 2u);
    EXPECT_FALSE(t.summaries.back().sckHz);
    EXPECT_EQ(b.lightBar.timingViolations(), 0u)
        << ::testing::PrintToString(b.lightBar.violationNotes());
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
                    if (stuck)
                        t.b.adapter.stopAfterBytes(bytes);
                    else
                        t.b.adapter.unplugAfterBytes(bytes);
                    from = t.b.clock.micros();
                };
                if (atEnable) fault(200); // the lines set, the enable on its way
                t.b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
                    if (l.text == " Reading Light Bar VCB" && !atEnable) fault(10);
                };
                BlockArea area;
                EXPECT_EQ(t.b.engine.readBlock(area), 32);
                const std::string why =
                    stuck ? "the adapter stopped answering" : "the adapter was unplugged";
                EXPECT_EQ(t.b.window.lastLine(), " COMM System Error: " + why);
                EXPECT_EQ(t.summaries.back().linkFailure, why);
                EXPECT_FALSE(
                    t.b.window.everLoggedLine(" try 1 failed-echoed 00 00 expected 53 00"));
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
