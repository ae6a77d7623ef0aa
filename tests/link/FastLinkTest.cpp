// The fast link on the virtual light bar: which line calls it leaves out, and how it waits for a
// page write. That the chip sees the same instructions in every job is shown in tests/jobs.
#include <gtest/gtest.h>

#include "VirtualBench.h"

namespace tessel {
namespace {

struct FastBench : VirtualBench {
    FastBench() { port.setLinkMode(LinkMode::Fast); }
};

// Level changes of MOSI over the bits of the bytes, starting from the given level (-1: unknown,
// so the first bit always counts).
std::uint64_t mosiChanges(std::initializer_list<std::uint8_t> bytes, int level) {
    std::uint64_t changes = 0;
    for (std::uint8_t b : bytes)
        for (int bit = 7; bit >= 0; --bit) {
            const int v = (b >> bit) & 1;
            if (v != level) ++changes;
            level = v;
        }
    return changes;
}

TEST(FastLink, SetsALineOnlyWhenItChangesAndSamplesOnlyUsedAnswers) {
    FastBench b;
    b.port.selectPort(1);
    ASSERT_TRUE(b.port.open());
    const LineCallCounts start = b.bar.counts();
    b.isp.loadPageByte(0x1F001, 0x3C); // 48 00 00 3C
    LineCallCounts c = b.bar.counts();
    EXPECT_EQ(c.breaks - start.breaks, mosiChanges({0x48, 0x00, 0x00, 0x3C}, -1));
    EXPECT_EQ(c.rts - start.rts, 65u); // one clock pulse per bit, after the first clock low
    EXPECT_EQ(c.ringReads, start.ringReads);

    EXPECT_EQ(b.isp.readFlashByte(0x1F001), 0xFF); // no page was written
    const LineCallCounts r = b.bar.counts();
    EXPECT_EQ(r.breaks - c.breaks, mosiChanges({0x28, 0xF8, 0x00, 0x00}, 0));
    EXPECT_EQ(r.ringReads - c.ringReads, 8u);

    // A port opened again knows no level: its first bit is set even when it would not change.
    b.port.open();
    c = b.bar.counts();
    b.isp.exchangeByte(0x00, false);
    EXPECT_EQ(b.bar.counts().breaks - c.breaks, 1u);
    EXPECT_EQ(b.bar.counts().ringReads, c.ringReads);
    EXPECT_TRUE(b.result.ok());
}

TEST(FastLink, PollsAPageWriteAndBoundsThePolling) {
    FastBench b;
    b.enterProgramming();
    // A page that takes: polled until its first non-0xFF byte reads back.
    b.isp.writeFlashByte(0x200, 0xFF);
    b.isp.writeFlashByte(0x201, 0x5A);
    b.isp.finishPageWriting();
    EXPECT_EQ(b.bar.flashByte(0x201), 0x5A);
    EXPECT_GT(b.bar.counts().busyPolls, 0u);
    EXPECT_EQ(b.sent(0x28).back(), (Instruction{0x28, 0x01, 0x00, 0x00}));
    EXPECT_EQ(b.isp.pollReads(), b.bar.counts().busyPolls + 1);
    EXPECT_EQ(b.bar.timingViolations(), 0u);

    // A byte that cannot take without an erase never reads back: polling stops after 50 ms.
    b.bar.setFlashByte(0x3FF, 0x00);
    b.isp.writeFlashByte(0x3FF, 0x5A); // the page's last byte: finishing only writes and polls
    const std::uint64_t before = b.clock.micros();
    b.isp.finishPageWriting();
    const std::uint64_t polledMs = (b.clock.micros() - before) / 1000;
    EXPECT_GE(polledMs, 50u);
    EXPECT_LE(polledMs, 52u);

    // After a job's failure nothing can be polled: the page waits tWD_FLASH with its margin.
    b.result.set(result::OperationAborted);
    const std::uint64_t reads = b.bar.counts().ringReads;
    b.isp.writeFlashByte(0x401, 0x11);
    b.isp.finishPageWriting();
    EXPECT_EQ(b.bar.counts().ringReads, reads);
    b.result.set(result::Ok);
    EXPECT_EQ(b.isp.readFlashByte(0x401), 0x11);
    EXPECT_EQ(b.bar.timingViolations(), 0u) << b.bar.violationNotes().front();
}

} // namespace
} // namespace tessel
