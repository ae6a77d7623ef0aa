#pragma once

#include <cstdint>

namespace tessel {

// Time as the programming waits see it: a millisecond tick counter that wraps like the
// system's, and a one-millisecond sleep between polls of it. The engine, the virtual light
// bar and the tests share one clock, so whole jobs run on virtual time in tests.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since some fixed start; wraps around at 2^32.
    virtual std::uint32_t tickMs() = 0;
    // Microseconds since the same start, for finer timing checks; never wraps in practice.
    virtual std::uint64_t micros() = 0;
    // Gives up the processor for about one millisecond.
    virtual void sleepOneMs() = 0;
};

// The real clock: std::chrono::steady_clock and a real sleep; on Windows the system's millisecond
// tick counter (GetTickCount) and Sleep(1).
class SteadyClock final : public Clock {
public:
    SteadyClock();
    std::uint32_t tickMs() override;
    std::uint64_t micros() override;
    void sleepOneMs() override;

private:
    // The system counters' values when the clock was made (Windows: the tick counter for tickMs,
    // the performance counter for micros).
    std::int64_t start_;
    std::int64_t startTick_ = 0;
};

// A clock that moves only when told to: a sleep advances it by exactly one millisecond, and
// whoever models elapsed time (the virtual light bar, a test) advances it explicitly.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::uint64_t startMicros = 0) : nowMicros_(startMicros) {}

    std::uint32_t tickMs() override { return static_cast<std::uint32_t>(nowMicros_ / 1000); }
    std::uint64_t micros() override { return nowMicros_; }
    void sleepOneMs() override {
        nowMicros_ += 1000;
        ++sleeps_;
    }

    void advanceMicros(std::uint64_t us) { nowMicros_ += us; }
    std::uint64_t sleepCount() const { return sleeps_; }

private:
    std::uint64_t nowMicros_;
    std::uint64_t sleeps_ = 0;
};

} // namespace tessel
