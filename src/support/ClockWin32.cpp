#include "support/Clock.h"

#include <windows.h>

namespace tessel {

namespace {
std::int64_t performanceCount() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}
std::int64_t performanceFrequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
}
} // namespace

// The waits count on the millisecond tick counter from the tick at start-up; the 32-bit
// difference wraps as the counter does. The tick counter moves in steps of 10 to 16 ms, so the
// finer timing comes from the performance counter.
SteadyClock::SteadyClock() : start_(performanceCount()), startTick_(GetTickCount()) {}

std::uint32_t SteadyClock::tickMs() { return GetTickCount() - static_cast<std::uint32_t>(startTick_); }

std::uint64_t SteadyClock::micros() {
    static const std::int64_t frequency = performanceFrequency();
    const std::int64_t ticks = performanceCount() - start_;
    return static_cast<std::uint64_t>(ticks / frequency * 1'000'000 + ticks % frequency * 1'000'000 / frequency);
}

void SteadyClock::sleepOneMs() { Sleep(1); }

} // namespace tessel
