#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

#include "VirtualBench.h"

namespace tessel {
namespace {

TEST(IspPort, SelectsCom1To4AndNothingElse) {
    VirtualBench b;
    EXPECT_EQ(b.port.portIndex(), 1);
    for (int i : {1, 2, 3, 4}) {
        b.port.selectPort(i);
        EXPECT_EQ(b.port.portIndex(), i);
    }
    for (int i : {0, 5, -1}) {
        b.port.selectPort(i);
        EXPECT_EQ(b.port.portIndex(), 0);
        EXPECT_FALSE(b.port.open());
    }
    EXPECT_EQ(b.bar.counts().opens, 0u);
    EXPECT_EQ(comPortName(3), "COM3");
    b.settings.setDevicePath(3, "/dev/ttyUSB0"); // a "COM3=/dev/ttyUSB0" line in "Ports"
    EXPECT_EQ(b.settings.devicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(b.settings.devicePath(2), defaultDevicePath(2));
}

TEST(IspPort, WaitPassesMoreThanTheGivenMilliseconds) {
    struct Case {
        std::uint64_t startMicros;
        std::uint32_t ms;
        std::uint32_t minTicks;
    };
    const std::uint64_t nearWrap = (std::uint64_t{1} << 32) * 1000 - 3'000; // 3 ms before the wrap
    for (Case c : {Case{1'000'000, 10, 11}, Case{1'000'000, 0, 1}, Case{nearWrap, 10, 11}}) {
        VirtualClock clock(c.startMicros);
        MemoryPortSettings settings;
        VirtualLightBar bar(clock);
        IspPort port(bar, clock, settings);
        port.wait(c.ms);
        EXPECT_EQ(clock.micros() - c.startMicros, c.minTicks * 1000u) << c.ms;
    }
    // Part-way into a millisecond, wait(0) ends as soon as the counter moves at all.
    VirtualClock clock(1'000'600);
    MemoryPortSettings settings;
    VirtualLightBar bar(clock);
    IspPort port(bar, clock, settings);
    port.wait(0);
    EXPECT_EQ(clock.tickMs(), 1001u);
}

TEST(IspPort, OpenFailureTellsWhy) {
    VirtualBench b;
    b.settings.setDevicePath(1, "/tmp/nowhere/fake-ttyS9");
    b.bar.failOpen(EBUSY);
    EXPECT_FALSE(b.port.open());
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_EQ(b.port.failure().systemError, EBUSY);
    EXPECT_EQ(b.port.failure().reason,
              "Cannot open /tmp/nowhere/fake-ttyS9: Device or resource busy");
}

TEST(IspPort, ConfigureFailuresRecordTheirStepAndCloseThePort) {
    const std::pair<ConfigureStep, const char*> cases[] = {
        {ConfigureStep::ReadState, "GetCommState failed. Errno=5"},
        {ConfigureStep::WriteState, "SetCommState failed. Errno=5"},
        {ConfigureStep::ReadTimeouts, "GetCommTimeouts failed. Errno=5"},
        {ConfigureStep::WriteTimeouts, "SetCommTimeouts failed. Errno=5"},
    };
    for (const auto& [step, text] : cases) {
        VirtualBench b;
        b.bar.failConfigure(step, EIO);
        EXPECT_FALSE(b.port.open());
        EXPECT_FALSE(b.bar.isOpen());
        EXPECT_EQ(b.port.failure().systemError, EIO);
        EXPECT_EQ(b.port.failure().reason, text);
    }
}

TEST(IspPort, PortPresentHonoursSkipKeyAndHolders) {
    VirtualBench b;
    EXPECT_TRUE(b.port.portPresent(2));
    EXPECT_FALSE(b.bar.isOpen()); // closed again at once

    b.settings.setSkipComPort(2, 1);
    const auto opens = b.bar.counts().opens;
    EXPECT_FALSE(b.port.portPresent(2));
    EXPECT_EQ(b.bar.counts().opens, opens); // not touched
    EXPECT_TRUE(b.port.portPresent(3));
    b.settings.setSkipComPort(2, 0); // read anew at every probe
    EXPECT_TRUE(b.port.portPresent(2));

    b.bar.failOpen(EBUSY); // held by another program
    EXPECT_FALSE(b.port.portPresent(2));
}

TEST(IspPort, AFailedLineSetsResult32OnceAndSamplingStops) {
    VirtualBench b;
    b.enterProgramming();
    b.bar.failLineCallsAfter(40);
    EXPECT_EQ(b.isp.readFlashByte(0x1F000), 0x00);
    EXPECT_EQ(b.result.code(), result::CommSystemError);

    const auto ringReads = b.bar.counts().ringReads;
    EXPECT_EQ(b.isp.readFlashByte(0x1F002), 0x00);
    EXPECT_EQ(b.bar.counts().ringReads, ringReads); // no platform call after the failure

    // An earlier result is kept; the waits still happen.
    b.result.set(result::NoValidVcb);
    const std::uint64_t before = b.clock.micros();
    b.port.assertReset();
    EXPECT_EQ(b.result.code(), result::NoValidVcb);
    EXPECT_GE(b.clock.micros() - before, 10'000u);
}

TEST(IspPort, DestructionReleasesResetOnlyOnAnOpenPort) {
    VirtualClock clock;
    MemoryPortSettings settings;
    VirtualLightBar bar(clock);
    auto port = std::make_unique<IspPort>(bar, clock, settings);
    port->open();
    port->assertReset();
    EXPECT_TRUE(port->resetHeld());
    EXPECT_TRUE(bar.inReset());
    std::uint64_t before = clock.micros();
    port.reset();
    EXPECT_FALSE(bar.inReset());
    EXPECT_FALSE(bar.isOpen());
    EXPECT_GE(clock.micros() - before, 500'000u);

    port = std::make_unique<IspPort>(bar, clock, settings);
    port->open();
    port->assertReset();
    port->close(); // the close itself drops DTR
    EXPECT_FALSE(port->resetHeld());
    const auto dtrCalls = bar.counts().dtr;
    before = clock.micros();
    port.reset();
    EXPECT_EQ(bar.counts().dtr, dtrCalls);
    EXPECT_EQ(clock.micros(), before);
}

} // namespace
} // namespace tessel
