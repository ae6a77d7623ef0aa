// The virtual light bar driven line by line, as the ATmega128 datasheet describes its serial
// programming: a small bit-banging master here, independent of the program's own instructions.

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "sim/VirtualLightBar.h"

namespace tessel {
namespace {

using Bytes = std::array<std::uint8_t, 4>;

struct Master {
    VirtualClock clock{5'000'000};
    VirtualLightBar bar{clock};
    SerialHandle h = kNoSerialHandle;

    Master() {
        bar.open("any", h);
        bar.configure(h);
    }
    void sck(bool high) { bar.setRts(h, !high); }
    void mosi(int bit) { bar.setBreak(h, bit == 0); }
    int miso() {
        bool ring = false;
        bar.readRing(h, ring);
        return ring ? 0 : 1;
    }
    void reset() {
        sck(false);
        bar.setDtr(h, false);
        bar.setDtr(h, true);
        clock.advanceMicros(20'000);
    }
    std::uint8_t byte(std::uint8_t out) {
        unsigned in = 0;
        for (int bit = 7; bit >= 0; --bit) {
            mosi((out >> bit) & 1);
            sck(true);
            in = (in << 1) | static_cast<unsigned>(miso());
            sck(false);
        }
        return static_cast<std::uint8_t>(in);
    }
    Bytes send(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
        return {byte(a), byte(b), byte(c), byte(d)};
    }
    void enable() {
        reset();
        send(0xAC, 0x53, 0x00, 0x00);
    }
    void waitMs(std::uint64_t ms) { clock.advanceMicros(ms * 1000); }
};

TEST(VirtualLightBar, EchoesAndAnswersOnlyInProgrammingMode) {
    Master m;
    m.bar.setFlashByte(0x10, 0x5A);
    m.reset();
    EXPECT_EQ(m.send(0x20, 0x00, 0x08, 0x00)[3], 0x08); // no answer before the enable
    EXPECT_FALSE(m.bar.programmingMode());

    const Bytes echo = m.send(0xAC, 0x53, 0x00, 0x00);
    EXPECT_EQ(echo[1], 0xAC);
    EXPECT_EQ(echo[2], 0x53);
    EXPECT_EQ(echo[3], 0x00);
    EXPECT_TRUE(m.bar.programmingMode());

    EXPECT_EQ(m.send(0x20, 0x00, 0x08, 0x00), (Bytes{0x00, 0x20, 0x00, 0x5A}));
    EXPECT_EQ(m.send(0x30, 0x00, 0x01, 0x00)[3], 0x97);
    EXPECT_EQ(m.send(0x30, 0x00, 0x03, 0x00)[3], 0xFF); // there is no fourth signature byte
    EXPECT_EQ(m.bar.instructions().size(), 5u);

    m.bar.setDtr(m.h, false); // out of reset: programming mode ends
    EXPECT_FALSE(m.bar.programmingMode());
    EXPECT_EQ(m.miso(), 1);
    EXPECT_EQ(m.bar.timingViolations(), 0u);
}

TEST(VirtualLightBar, MisoMovesOnlyOnTheFallingEdge) {
    Master m;
    m.enable();
    m.bar.setFlashByte(0, 0x80);
    m.send(0x20, 0x00, 0x00, 0x00); // next instruction's first byte echoes 00
    // Bits of byte 2 (echo of A0 = 1010 0000): read while SCK is high, stable until it falls.
    m.byte(0xA0);
    for (int bit = 7; bit >= 0; --bit) {
        m.mosi(0);
        m.sck(true);
        const int expected = (0xA0 >> bit) & 1;
        EXPECT_EQ(m.miso(), expected) << bit;
        m.mosi(1); // MOSI moving while SCK is high changes nothing
        EXPECT_EQ(m.miso(), expected) << bit;
        m.sck(false);
    }
}

TEST(VirtualLightBar, PageWriteAndsTheBufferIntoFlash) {
    Master m;
    m.bar.setFlashByte(0x200, 0xF0);
    m.bar.setFlashByte(0x201, 0x3C);
    m.enable();
    m.send(0x40, 0x00, 0x00, 0x0F); // word 0x100 low byte
    m.send(0x48, 0x00, 0x00, 0xFF); // and its high byte
    m.send(0x4C, 0x01, 0x00, 0x00);
    EXPECT_EQ(m.bar.flashByte(0x200), 0x00);
    EXPECT_EQ(m.bar.flashByte(0x201), 0x3C);
    EXPECT_EQ(m.bar.pageWrites(), (std::vector<std::uint16_t>{0x0100}));

    m.waitMs(5);
    m.send(0x40, 0x00, 0x01, 0x11);
    m.send(0x4C, 0x01, 0x7F, 0x00); // the low seven bits of the page address do not count
    EXPECT_EQ(m.bar.flashByte(0x202), 0x11);
    EXPECT_EQ(m.bar.flashByte(0x200), 0x00); // buffer emptied by the first write
    EXPECT_EQ(m.bar.pageWrites().back(), 0x0100);
    m.waitMs(5);
    EXPECT_EQ(m.bar.timingViolations(), 0u);
}

TEST(VirtualLightBar, ChipEraseKeepsEepromOnlyWithEesave) {
    for (std::uint8_t high : {std::uint8_t{0xD9}, std::uint8_t{0xD1}}) {
        Master m;
        m.bar.setFuses({0xE0, high, 0xFD, 0xFF});
        m.bar.setFlashByte(0x1FFFF, 0x00);
        m.bar.setEepromByte(0x20, 0x12);
        m.enable();
        m.send(0xAC, 0xE0, 0x00, 0xFC); // lock
        m.waitMs(5);
        EXPECT_EQ(m.send(0x58, 0x00, 0x00, 0x00)[3], 0xFC);
        m.send(0xAC, 0x80, 0x00, 0x00);
        m.waitMs(10);
        EXPECT_EQ(m.bar.flashByte(0x1FFFF), 0xFF);
        EXPECT_EQ(m.bar.eepromByte(0x20), high == 0xD1 ? 0x12 : 0xFF) << int(high);
        EXPECT_EQ(m.bar.fuses().lock, 0xFF);
        EXPECT_EQ(m.bar.fuses().high, high);
        EXPECT_EQ(m.bar.timingViolations(), 0u);
    }
}

TEST(VirtualLightBar, FuseAndLockBitsBehaveLikeTheChip) {
    Master m;
    m.enable();
    m.send(0xAC, 0xA4, 0x00, 0x01); // only two extended bits exist
    m.waitMs(5);
    EXPECT_EQ(m.send(0x50, 0x08, 0x00, 0x00)[3], 0xFD);
    m.send(0xAC, 0xA0, 0x00, 0xE1);
    m.waitMs(5);
    m.send(0xAC, 0xA8, 0x00, 0x99);
    m.waitMs(5);
    EXPECT_EQ(m.send(0x50, 0x00, 0x00, 0x00)[3], 0xE1);
    EXPECT_EQ(m.send(0x58, 0x08, 0x00, 0x00)[3], 0x99);
    m.send(0xAC, 0xE0, 0x00, 0xFE);
    m.waitMs(5);
    m.send(0xAC, 0xE0, 0x00, 0xFF); // a programmed lock bit stays programmed
    m.waitMs(5);
    EXPECT_EQ(m.bar.fuses().lock, 0xFE);
    m.send(0xC0, 0x0F, 0xFF, 0x66); // EEPROM write
    m.waitMs(10);
    EXPECT_EQ(m.send(0xA0, 0x0F, 0xFF, 0x00)[3], 0x66);
    EXPECT_EQ(m.bar.timingViolations(), 0u);
}

TEST(VirtualLightBar, CountsEveryMissedWait) {
    Master m;
    m.enable();
    m.send(0x40, 0x00, 0x00, 0x00);
    m.send(0x4C, 0x00, 0x00, 0x00);
    m.send(0x20, 0x01, 0x00, 0x00); // another page, within the 4.5 ms page write
    EXPECT_EQ(m.bar.timingViolations(), 1u);
    m.waitMs(5);
    m.send(0xAC, 0x80, 0x00, 0x00);
    m.waitMs(4);
    m.send(0x20, 0x00, 0x00, 0x00); // within the 9 ms erase
    EXPECT_EQ(m.bar.timingViolations(), 2u);
    m.waitMs(10);
    m.send(0xC0, 0x00, 0x10, 0x55);
    m.waitMs(8);
    m.send(0xA0, 0x00, 0x10, 0x00); // within the 9 ms EEPROM write
    EXPECT_EQ(m.bar.timingViolations(), 3u);
    m.waitMs(10);

    m.sck(true);
    m.bar.setDtr(m.h, false);
    m.bar.setDtr(m.h, true); // reset while the clock is high
    EXPECT_EQ(m.bar.timingViolations(), 4u);
    m.sck(false);
    m.send(0xAC, 0x53, 0x00, 0x00); // right after reset
    EXPECT_EQ(m.bar.timingViolations(), 5u);
    EXPECT_NE(m.bar.violationNotes().back().find("after RESET"), std::string::npos);

    // A stricter reset wait: the datasheet's 20 ms after power-up.
    VirtualClock clock;
    VirtualTiming strict;
    strict.resetToEnableMicros = 20'000;
    VirtualLightBar bar(clock, strict);
    SerialHandle h = kNoSerialHandle;
    bar.open("any", h);
    bar.setRts(h, true);
    bar.setDtr(h, true);
    clock.advanceMicros(11'000);
    bar.setRts(h, false); // first rising edge 11 ms after reset
    EXPECT_EQ(bar.timingViolations(), 1u);
}

TEST(VirtualLightBar, CountsCallsAndSpendsTimeOnEach) {
    Master m;
    m.enable();
    const LineCallCounts before = m.bar.counts();
    const std::uint64_t t0 = m.clock.micros();
    m.byte(0x55);
    const LineCallCounts& after = m.bar.counts();
    EXPECT_EQ(after.rts - before.rts, 16u);
    EXPECT_EQ(after.breaks - before.breaks, 8u);
    EXPECT_EQ(after.ringReads - before.ringReads, 8u);
    EXPECT_EQ(after.dtr, before.dtr);
    EXPECT_EQ(m.clock.micros() - t0, 32u); // one microsecond per call
    EXPECT_EQ(after.opens, 1u);
    EXPECT_EQ(after.configures, 1u);
}

TEST(VirtualLightBar, FaultKnobs) {
    Master m;
    SerialHandle other = kNoSerialHandle;
    EXPECT_EQ(m.bar.open("again", other).error, EBUSY); // one holder at a time
    EXPECT_EQ(m.bar.setDtr(42, true).error, EBADF);

    m.enable();
    m.bar.failLineCallsAfter(2);
    EXPECT_TRUE(m.bar.setBreak(m.h, true).ok);
    EXPECT_TRUE(m.bar.setBreak(m.h, false).ok);
    EXPECT_EQ(m.bar.setDtr(m.h, false).error, EIO);
    EXPECT_TRUE(m.bar.inReset()); // a failed call changes nothing
    bool ring = false;
    EXPECT_FALSE(m.bar.readRing(m.h, ring).ok);

    Master quiet;
    quiet.bar.setNoAnswer(true, 1);
    quiet.reset();
    EXPECT_EQ(quiet.send(0xAC, 0x53, 0x00, 0x00), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));

    Master refusing;
    refusing.bar.failEnables(1);
    refusing.reset();
    EXPECT_EQ(refusing.send(0xAC, 0x53, 0x00, 0x00)[2], 0x00);
    EXPECT_FALSE(refusing.bar.programmingMode());
    refusing.reset();
    EXPECT_EQ(refusing.send(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
    EXPECT_TRUE(refusing.bar.programmingMode());

    Master closed;
    closed.bar.close(closed.h);
    closed.bar.failOpen(ENOENT);
    EXPECT_EQ(closed.bar.open("gone", closed.h).error, ENOENT);
}

TEST(VirtualLightBar, SavesAndLoadsItsWholeState) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tessel-vlb-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "bar.vlb").string();

    VirtualClock clock;
    VirtualLightBar a(clock);
    a.setFlashByte(0x1F000, 0x3C);
    a.setFlashByte(0x1FFFF, 0x01);
    a.setEepromByte(0xFFF, 0x77);
    a.setFuses({0xE1, 0x99, 0xFD, 0xFC});
    a.setSignature({0x1E, 0x95, 0x02});
    ASSERT_TRUE(a.save(file));

    VirtualLightBar b(clock);
    ASSERT_TRUE(b.load(file));
    EXPECT_EQ(b.flashByte(0x1F000), 0x3C);
    EXPECT_EQ(b.flashByte(0x1FFFF), 0x01);
    EXPECT_EQ(b.flashByte(0x00000), 0xFF);
    EXPECT_EQ(b.eepromByte(0xFFF), 0x77);
    EXPECT_EQ(b.fuses().low, 0xE1);
    EXPECT_EQ(b.fuses().lock, 0xFC);
    EXPECT_EQ(b.signature()[1], 0x95);

    // A short or foreign file is refused and changes nothing.
    std::filesystem::resize_file(file, 1000);
    VirtualLightBar c(clock);
    EXPECT_FALSE(c.load(file));
    { std::ofstream(file, std::ios::binary | std::ios::trunc) << std::string(8 + 131072 + 4096 + 7, 'x'); }
    EXPECT_FALSE(c.load(file));
    EXPECT_FALSE(c.load((dir / "missing.vlb").string()));
    EXPECT_EQ(c.flashByte(0x1F000), 0xFF);
    EXPECT_EQ(c.signature()[1], 0x97);
    EXPECT_FALSE(a.save((dir / "no-such-dir" / "x.vlb").string()));
    std::filesystem::remove_all(dir);
}

// Data polling: while a page is written its bytes read 0xFF; once done, they read as written.
// Only reads of that page may come early; the next instruction of another kind may not.
TEST(VirtualLightBar, APageBeingWrittenCanBePolled) {
    Master m;
    m.enable();
    m.send(0x48, 0x00, 0x03, 0x5A); // high byte of word 0x7F03's page 0x7F00
    m.send(0x4C, 0x7F, 0x00, 0x00);
    EXPECT_EQ(m.send(0x28, 0x7F, 0x03, 0x00)[3], 0xFF);
    EXPECT_EQ(m.send(0x28, 0x7F, 0x03, 0x00)[3], 0xFF);
    EXPECT_EQ(m.bar.timingViolations(), 0u);
    EXPECT_EQ(m.bar.counts().busyPolls, 2u);
    m.waitMs(5);
    EXPECT_EQ(m.send(0x28, 0x7F, 0x03, 0x00)[3], 0x5A);
    EXPECT_EQ(m.bar.counts().busyPolls, 2u);

    m.send(0xAC, 0x80, 0x00, 0x00);
    m.send(0x28, 0x7F, 0x03, 0x00); // an erase cannot be polled
    EXPECT_EQ(m.bar.timingViolations(), 1u);
}

} // namespace
} // namespace tessel
