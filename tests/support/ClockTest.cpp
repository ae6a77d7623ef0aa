#include "support/Clock.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(VirtualClock, SleepAdvancesExactlyOneMillisecondAndTickWraps) {
    VirtualClock clock((std::uint64_t{1} << 32) * 1000 - 1500);
    EXPECT_EQ(clock.tickMs(), 0xFFFFFFFEu);
    clock.sleepOneMs();
    EXPECT_EQ(clock.tickMs(), 0xFFFFFFFFu);
    clock.sleepOneMs();
    EXPECT_EQ(clock.tickMs(), 0u) << "the tick counter wraps at 2^32 like the system's";
    EXPECT_EQ(clock.sleepCount(), 2u);
    clock.advanceMicros(499);
    EXPECT_EQ(clock.tickMs(), 0u);
    clock.advanceMicros(1);
    EXPECT_EQ(clock.tickMs(), 1u);
}

TEST(SteadyClock, MovesForwardAcrossASleep) {
    SteadyClock clock;
    const auto before = clock.micros();
    clock.sleepOneMs();
    EXPECT_GE(clock.micros() - before, 900u);
}

} // namespace
} // namespace tessel
