// Jobs through the emulated FT232R as a bench meets one: a cable too slow for the clock, the
// lines the adapter starts and leaves with (an adapter pulled out or stuck: tests/usb).
#include "JobTest.h"

namespace tessel::testing {
namespace {

std::size_t linesStartingWith(const JobBench& b, const std::string& start) {
    const auto t = b.window.texts();
    return static_cast<std::size_t>(
        std::count_if(t.begin(), t.end(), [&](const std::string& l) { return l.starts_with(start); }));
}

// The first enable runs at SckHz; unanswered, each try halves it down to 12.5 kHz, the rate that
// answered stands in the log and the job's summary, and the next job starts there. Every enable
// keeps the datasheet's 20 ms from RESET.
TEST(UsbAdapterJob, ACableTooSlowForTheClockGetsHalfOfIt) {
    JobBench b(VirtualTiming{.resetToEnableMicros = 20000});
    b.useAdapter();
    b.putRecord(JobBench::sampleRecord());
    std::vector<JobSummary> summaries;
    b.engine.setJobEndListener([&](const JobSummary& s) {
        summaries.push_back(s);
        return std::string();
    });
    b.adapter.setCableLimitHz(60000);
    BlockArea area;
    ASSERT_EQ(b.engine.readBlock(area), 0);
    const auto t = b.window.texts();
    EXPECT_EQ(std::vector<std::string>(t.begin(), t.begin() + 3),
              (std::vector<std::string>{" try 1 failed-echoed 00 00 expected 53 00",
                                        " no answer at 100 kHz: trying 50 kHz",
                                        " FT232R adapter, SCK at 50 kHz"}));
    EXPECT_EQ(summaries.back().sckHz, 50000u);

    ASSERT_EQ(b.engine.readBlock(area), 0);
    EXPECT_EQ(b.window.texts().front(), " FT232R adapter, SCK at 50 kHz") << "where the last job ended";

    b.adapter.setCableLimitHz(5000); // nothing gets through
    EXPECT_EQ(b.engine.readBlock(area), 8);
    EXPECT_EQ(linesStartingWith(b, " try "), 8u);
    EXPECT_TRUE(b.window.hasLine(" no answer at 25 kHz: trying 12.5 kHz"));
    EXPECT_EQ(linesStartingWith(b, " no answer at "), 2u);
    EXPECT_FALSE(summaries.back().sckHz);
    EXPECT_EQ(b.lightBar.timingViolations(), 0u) << ::testing::PrintToString(b.lightBar.violationNotes());
}

// Bit-bang mode starts with the lines a serial port leaves (RESET released, SCK and MOSI idle)
// and every job leaves them so, a failed one too; a verify error names the clock as a suspect.
TEST(UsbAdapterJob, TheLinesStartAndEndAsASerialPortLeavesThem) {
    constexpr std::uint8_t kIdle = 0x15; // TXD, RTS# and DTR# high
    JobBench b;
    b.useAdapter();
    b.putRecord(JobBench::sampleRecord());
    BlockArea area;
    ASSERT_EQ(b.engine.readBlock(area), 0);
    EXPECT_EQ(b.adapter.pinsAfterStart(), kIdle);
    EXPECT_EQ(b.adapter.pinsAtEnd(), kIdle);

    ConfigBlock other = JobBench::sampleRecord();
    other.productName = "KD-9";
    EXPECT_EQ(b.engine.verifyBlock(JobBench::rendered(other)), 28);
    EXPECT_EQ(b.adapter.pinsAtEnd(), kIdle) << "RESET let go after a failed job";
    EXPECT_EQ(b.window.lastLine(), " Through a USB adapter a slower clock may help: lower SckHz in "
                                   "section [FTDI] of the INI file (now 100000)");
}

} // namespace
} // namespace tessel::testing
