#include <gtest/gtest.h>

#include "VirtualBench.h"

#include "support/ComPorts.h"

namespace tessel {
namespace {

std::string tryLine(int t, const char* echo) {
    return " try " + std::to_string(t) + " failed-echoed " + echo + " expected 53 00";
}

TEST(ProgrammingEnable, EntersOnFirstTryAfterOneResetPulse) {
    VirtualBench b;
    ASSERT_TRUE(b.port.open());
    const std::uint64_t start = b.clock.micros();

    EXPECT_EQ(b.isp.programmingEnable(), 0);
    EXPECT_TRUE(b.result.ok());
    EXPECT_TRUE(b.bar.programmingMode());
    EXPECT_TRUE(b.port.resetHeld());
    EXPECT_EQ(b.bar.counts().dtr, 2u); // released, then asserted once
    EXPECT_EQ(b.bar.instructions(), (std::vector<Instruction>{{0xAC, 0x53, 0x00, 0x00}}));
    EXPECT_TRUE(b.lines.empty());
    EXPECT_GE(b.clock.micros() - start, 511'000u); // more than 500 ms, then more than 10 ms
    EXPECT_EQ(b.bar.timingViolations(), 0u);
}

TEST(ProgrammingEnable, NoAnswerGivesEightTryLinesAndResult8) {
    VirtualBench b;
    b.bar.setNoAnswer(true);
    b.port.open();

    EXPECT_EQ(b.isp.programmingEnable(), 8);
    EXPECT_TRUE(b.result.ok()) << "the caller stores the enable's verdict";
    ASSERT_EQ(b.lines.size(), 8u);
    for (int t = 1; t <= 8; ++t) {
        EXPECT_EQ(b.lines[t - 1], tryLine(t, "00 00"));
    }
    EXPECT_EQ(b.bar.instructions().size(), 8u);
    EXPECT_EQ(b.bar.counts().dtr, 16u);
}

TEST(ProgrammingEnable, RetriesUntilTheChipEchoes) {
    VirtualBench b;
    b.bar.failEnables(3);
    b.port.open();

    EXPECT_EQ(b.isp.programmingEnable(), 0);
    ASSERT_EQ(b.lines.size(), 3u);
    EXPECT_EQ(b.lines[2], tryLine(3, "00 00"));
    EXPECT_EQ(b.bar.instructions().size(), 4u);
    EXPECT_TRUE(b.bar.programmingMode());
    EXPECT_EQ(b.bar.timingViolations(), 0u);
}

// A failed line call is no silent chip: the enable ends at once with 32 and the port's reason,
// without a port as when the line fails during the enable's last byte.
TEST(ProgrammingEnable, AFailedLineCallEndsItAtOnceWith32) {
    for (int index : {0, 5}) {
        VirtualBench b;
        b.port.selectPort(index);
        EXPECT_FALSE(b.port.open());
        EXPECT_EQ(b.isp.programmingEnable(), 32);
        EXPECT_TRUE(b.lines.empty());
        EXPECT_EQ(b.bar.counts().opens, 0u);
        EXPECT_EQ(b.bar.counts().ringReads, 0u);
    }
    VirtualBench b;
    b.port.open();
    // clock low, data 0, release, assert, three bytes and a few calls of the fourth
    b.bar.failLineCallsAfter(4 + 3 * 33 + 5);
    EXPECT_EQ(b.isp.programmingEnable(), 32);
    EXPECT_TRUE(b.lines.empty());
    EXPECT_EQ(b.port.failure().reason,
              "a line call on " + defaultDevicePath(1) + " failed: Input/output error");
    EXPECT_FALSE(b.bar.programmingMode());
}

TEST(Instructions, EveryInstructionIs132LineCalls) {
    VirtualBench b;
    b.enterProgramming();
    const auto before = b.bar.counts().lineCalls();
    b.isp.readFlashByte(0x1F000);
    EXPECT_EQ(b.bar.counts().lineCalls() - before, 132u);
}

TEST(Identify, ReadsSignatureAndFusesOfAnAtmega128) {
    VirtualBench b;
    b.bar.setFuses({0xE0, 0xD9, 0xFD, 0xFF});
    b.enterProgramming();
    b.isp.identify();

    const DeviceIdentity& id = b.isp.identity();
    EXPECT_EQ(id.signature, (std::array<std::uint8_t, 3>{0x1E, 0x97, 0x02}));
    EXPECT_EQ(id.fuseLow, 0xE0);
    EXPECT_EQ(id.fuseHigh, 0xD9);
    EXPECT_EQ(id.fuseExtended, 0xFD);
    EXPECT_EQ(b.bar.instructions(),
              (std::vector<Instruction>{{0x30, 0, 0, 0}, {0x30, 0, 1, 0}, {0x30, 0, 2, 0},
                                        {0x50, 0, 0, 0}, {0x58, 0x08, 0, 0}, {0x50, 0x08, 0, 0}}));
    EXPECT_FALSE(b.isp.correctFuses());
    EXPECT_TRUE(b.sent(0xAC).empty());
}

TEST(Identify, AnotherChipShowsZeroFusesAndIsNeverWritten) {
    VirtualBench b;
    b.bar.setSignature({0x1E, 0x95, 0x02});
    b.bar.setFuses({0x62, 0x99, 0xFF, 0xFF});
    b.enterProgramming();
    b.isp.identify();

    EXPECT_EQ(b.isp.identity().fuseLow, 0x62);
    EXPECT_EQ(b.isp.identity().fuseHigh, 0x00);
    EXPECT_EQ(b.isp.identity().fuseExtended, 0x00);
    EXPECT_TRUE(b.sent(0x58).empty());
    EXPECT_FALSE(b.isp.correctFuses());
    EXPECT_TRUE(b.sent(0xAC).empty());
    EXPECT_EQ(b.bar.fuses().low, 0x62);
}

TEST(CorrectFuses, WritesAllThreeAndReadsThemBack) {
    for (FuseBytes start : {FuseBytes{0xE0, 0xD9, 0xFF, 0xFF}, VirtualLightBar::kFactoryFuses}) {
        VirtualBench b;
        b.bar.setFuses(start);
        b.enterProgramming();
        b.isp.identify();
        const std::uint64_t before = b.clock.micros();

        EXPECT_TRUE(b.isp.correctFuses());
        EXPECT_EQ(b.sent(0xAC), (std::vector<Instruction>{{0xAC, 0xA0, 0x00, 0xE0},
                                                          {0xAC, 0xA8, 0x00, 0xD9},
                                                          {0xAC, 0xA4, 0x00, 0xFD}}));
        EXPECT_EQ(b.sent(0x30).size(), 6u); // identified twice
        EXPECT_GE(b.clock.micros() - before, 3 * 150'000u);
        EXPECT_EQ(b.isp.identity().fuseLow, 0xE0);
        EXPECT_EQ(b.isp.identity().fuseHigh, 0xD9);
        EXPECT_EQ(b.isp.identity().fuseExtended, 0xFD);
        EXPECT_EQ(b.bar.fuses().extended, 0xFD);
        EXPECT_EQ(b.bar.timingViolations(), 0u);
    }
}

TEST(Reads, AddressFlashWordsAndDataMemory) {
    VirtualBench b;
    b.bar.setFlashByte(0x1F000, 0x3C);
    b.bar.setFlashByte(0x1F001, 0x56);
    b.bar.setFlashByte(0x1FFFF, 0x9A);
    b.bar.setEepromByte(0xFFF, 0x77);
    b.enterProgramming();

    EXPECT_EQ(b.isp.readFlashByte(0x1F000), 0x3C);
    EXPECT_EQ(b.isp.readFlashByte(0x1F001), 0x56); // high byte of word 0xF800
    EXPECT_EQ(b.isp.readFlashByte(0x1FFFF), 0x9A);
    EXPECT_EQ(b.isp.readDataByte(0xFFF), 0x77);
    EXPECT_EQ(b.bar.instructions(),
              (std::vector<Instruction>{{0x20, 0xF8, 0x00, 0}, {0x28, 0xF8, 0x00, 0},
                                        {0x28, 0xFF, 0xFF, 0}, {0xA0, 0x0F, 0xFF, 0}}));
}

TEST(ChipErase, ErasesFlashAndIsFollowedByTheCallersWait) {
    VirtualBench b;
    b.bar.setFlashByte(0x100, 0x00);
    b.bar.setEepromByte(0x10, 0x00);
    b.enterProgramming();
    b.isp.chipErase();
    b.port.wait(150);
    b.isp.readFlashByte(0x100);

    EXPECT_EQ(b.bar.flashByte(0x100), 0xFF);
    EXPECT_EQ(b.bar.eepromByte(0x10), 0xFF); // D9: EESAVE not programmed
    EXPECT_EQ(b.bar.timingViolations(), 0u);
}

} // namespace
} // namespace tessel
