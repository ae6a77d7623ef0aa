#include <gtest/gtest.h>

#include "VirtualBench.h"

namespace tessel {
namespace {

constexpr std::uint32_t kBlock = 0x1F000;

// Position within the page and value of every page-buffer load, in order.
std::vector<std::pair<int, int>> loads(const VirtualBench& b) {
    std::vector<std::pair<int, int>> out;
    for (const auto& i : b.bar.instructions())
        if (i[0] == 0x40 || i[0] == 0x48) out.emplace_back(i[2] * 2 + (i[0] == 0x48), i[3]);
    return out;
}

TEST(PageWriter, StartingSixteenBytesInLoadsTheSkippedBytesAsErased) {
    VirtualBench b;
    b.enterProgramming();
    b.isp.finishPageWriting();
    for (std::uint32_t i = 16; i < 32; ++i) b.isp.writeFlashByte(kBlock + i, static_cast<std::uint8_t>(i));
    b.isp.finishPageWriting();

    const auto l = loads(b);
    ASSERT_EQ(l.size(), 256u);
    for (int p = 0; p < 256; ++p)
        EXPECT_EQ(l[p], std::make_pair(p, (p >= 16 && p < 32) ? p : 0xFF)) << p;
    EXPECT_EQ(b.sent(0x4C), (std::vector<Instruction>{{0x4C, 0xF8, 0x00, 0x00}}));
    EXPECT_EQ(b.bar.pageWrites(), (std::vector<std::uint16_t>{0xF800}));
    EXPECT_EQ(b.bar.flashByte(kBlock + 15), 0xFF);
    EXPECT_EQ(b.bar.flashByte(kBlock + 16), 16);
    EXPECT_EQ(b.bar.flashByte(kBlock + 31), 31);
    EXPECT_EQ(b.isp.readFlashByte(kBlock + 17), 17);
    EXPECT_EQ(b.bar.timingViolations(), 0u);
}

TEST(PageWriter, AnErasedPageIsNeverWritten) {
    VirtualBench b;
    b.enterProgramming();
    const std::uint64_t start = b.clock.micros();
    for (std::uint32_t i = 0; i < 256; ++i) b.isp.writeFlashByte(kBlock + i, 0xFF);
    b.isp.finishPageWriting();

    EXPECT_EQ(loads(b).size(), 256u);
    EXPECT_TRUE(b.sent(0x4C).empty());
    EXPECT_TRUE(b.bar.pageWrites().empty());
    EXPECT_LT(b.clock.micros() - start, 50'000u); // no page-write wait
}

TEST(PageWriter, MovingIntoTheNextPageWritesTheFullOneFirst) {
    VirtualBench b;
    b.enterProgramming();
    b.isp.writeFlashByte(kBlock + 255, 0x12);
    EXPECT_TRUE(b.sent(0x4C).empty());
    const std::uint64_t before = b.clock.micros();
    b.isp.writeFlashByte(kBlock + 256, 0x34);
    EXPECT_GE(b.clock.micros() - before, 50'000u);

    const auto& log = b.bar.instructions();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], (Instruction{0x4C, 0xF8, 0x00, 0x00}));
    EXPECT_EQ(log.back(), (Instruction{0x40, 0x00, 0x00, 0x34}));

    b.isp.finishPageWriting();
    EXPECT_EQ(b.bar.pageWrites(), (std::vector<std::uint16_t>{0xF800, 0xF880}));
    EXPECT_EQ(b.bar.flashByte(kBlock + 255), 0x12);
    EXPECT_EQ(b.bar.flashByte(kBlock + 256), 0x34);
    EXPECT_EQ(b.bar.flashByte(kBlock + 257), 0xFF);
    EXPECT_EQ(b.bar.timingViolations(), 0u);
}

TEST(PageWriter, SkippedRangesAndResetWithoutWriting) {
    VirtualBench b;
    b.enterProgramming();
    // A gap inside a page is filled; a page left behind clean is not written.
    b.isp.writeFlashByte(0x00010, 0xFF);
    b.isp.writeFlashByte(0x00200, 0xA5); // page 0x100: page 0 held only 0xFF
    b.isp.writeFlashByte(0x00203, 0x5A);
    EXPECT_TRUE(b.bar.pageWrites().empty());
    b.isp.resetPageWriter();
    b.isp.finishPageWriting(); // nothing left to write after the reset
    EXPECT_TRUE(b.bar.pageWrites().empty());

    b.isp.writeFlashByte(0x00203, 0x5A);
    b.isp.finishPageWriting();
    EXPECT_EQ(b.bar.pageWrites(), (std::vector<std::uint16_t>{0x0100}));
    EXPECT_EQ(b.bar.flashByte(0x00200), 0xFF); // forgotten by the reset
    EXPECT_EQ(b.bar.flashByte(0x00203), 0x5A);
}

} // namespace
} // namespace tessel
