// What the link itself costs: line calls per instruction (fixed at 132: four per bit, one more per
// byte) and the CPU time per line operation through IspPort on the virtual light bar, which has
// to stay far below a real modem-control ioctl (about 1.3 us to set a line, 13 us to read RI).

#include <benchmark/benchmark.h>

#include "link/IspInstructions.h"
#include "link/IspPort.h"
#include "link/PortSettings.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

namespace {

using namespace tessel;

struct Link {
    VirtualClock clock;
    MemoryPortSettings settings;
    VirtualLightBar bar{clock};
    JobResult result;
    IspPort port{bar, clock, settings, &result};
    IspInstructions isp{port};

    Link() {
        bar.setLogging(false);
        port.open();
        isp.programmingEnable();
    }
};

void perOperation(benchmark::State& state, std::uint64_t calls) {
    state.counters["time_per_line_op"] =
        benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LineCallsPerInstruction(benchmark::State& state) {
    Link link;
    const std::uint64_t before = link.bar.counts().lineCalls();
    std::uint32_t address = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.isp.readFlashByte(address));
        address = (address + 1) & 0x1FFFF;
    }
    const auto calls = link.bar.counts().lineCalls() - before;
    const double perInstruction = static_cast<double>(calls) / static_cast<double>(state.iterations());
    state.counters["line_calls_per_instruction"] = perInstruction;
    if (perInstruction != 132.0) state.SkipWithError("an instruction must take exactly 132 line calls");
    if (!link.result.ok() || link.bar.timingViolations() != 0) state.SkipWithError("link failed");
    perOperation(state, calls);
}
BENCHMARK(BM_LineCallsPerInstruction);

void BM_ClockPulse(benchmark::State& state) {
    Link link;
    for (auto _ : state) {
        link.port.clockHigh();
        link.port.clockLow();
    }
    perOperation(state, 2 * static_cast<std::uint64_t>(state.iterations()));
}
BENCHMARK(BM_ClockPulse);

void BM_SampleDataIn(benchmark::State& state) {
    Link link;
    for (auto _ : state) benchmark::DoNotOptimize(link.port.sampleDataIn());
    perOperation(state, static_cast<std::uint64_t>(state.iterations()));
}
BENCHMARK(BM_SampleDataIn);

void BM_ExchangeByte(benchmark::State& state) {
    Link link;
    std::uint8_t v = 0;
    for (auto _ : state) benchmark::DoNotOptimize(link.isp.exchangeByte(v++));
    perOperation(state, 33 * static_cast<std::uint64_t>(state.iterations()));
}
BENCHMARK(BM_ExchangeByte);

} // namespace
