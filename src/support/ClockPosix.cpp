#include "support/Clock.h"

#include <chrono>
#include <thread>

namespace tessel {

namespace {
std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

SteadyClock::SteadyClock() : start_(steadyNs()) {}

std::uint32_t SteadyClock::tickMs() {
    return static_cast<std::uint32_t>((steadyNs() - start_) / 1'000'000);
}

std::uint64_t SteadyClock::micros() {
    return static_cast<std::uint64_t>((steadyNs() - start_) / 1'000);
}

void SteadyClock::sleepOneMs() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

} // namespace tessel
