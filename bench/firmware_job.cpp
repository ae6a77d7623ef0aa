// The device jobs on the virtual light bar on virtual time: the CPU cost of programming and
// verifying a full code area on either link, and the line calls each job needs (every line call
// is one platform call on a real port, so they decide how long a job takes at the bench).
#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

using namespace tessel;

// An operator who answers OK and Yes to everything and never cancels.
class AgreeingWindow final : public JobWindow {
public:
    void showForJob(const std::string&, bool) override {}
    void appendLine(LineStyle, const std::string&) override {}
    void removeLastLine() override {}
    void showBlock(std::string_view) override {}
    void setProgress(int) override {}
    void showAbortControls() override {}
    bool aborted() override { return false; }
    bool askYesNo() override { return true; }
    bool askOkCancel() override { return true; }
    void waitForOk(const std::string&) override {}
    void processMessages() override {}
    void close() override {}
};

struct Bench {
    VirtualClock clock;
    VirtualLightBar lightBar{clock};
    MemoryPortSettings settings;
    AgreeingWindow window;
    RecordHost host{true};
    ChipProgrammer engine{lightBar, clock, settings, window, host};

    explicit Bench(const ConfigBlock& block) {
        lightBar.setLogging(false);
        BlockArea area;
        renderBlock(block, area);
        for (std::size_t i = 0; i < area.size(); ++i)
            lightBar.setFlashByte(0x1F000 + static_cast<std::uint32_t>(i), area[i]);
    }
};

ConfigBlock sampleBlock(int format) {
    ConfigBlock r;
    r.format = format;
    r.serialNumber = 314159;
    r.productName = "KD-7";
    r.option(SwitchOption::ScalesDisplay) = OptionState::Yes;
    return r;
}

// A code area with no erased byte: the image's length is the whole 126976 bytes.
const FirmwareImage& fullImage() {
    static const FirmwareImage image = [] {
        FirmwareImage im;
        std::uint32_t x = 1;
        for (auto& byte : im.bytes) {
            x = x * 1103515245u + 12345u;
            byte = static_cast<std::uint8_t>((x >> 16) % 255); // never 0xFF
        }
        const char id[] = "<Veltrane Inc. Firmware ID>:product:Bench:version:v9.9:VCB Format:2"
                          ":date:2026-12-08<end>";
        std::memcpy(im.bytes.data() + 64, id, sizeof id - 1);
        im.updateLength();
        return im;
    }();
    return image;
}

// What a full program + verify costs on a native UART, where a line set or clear takes about
// 1.3 us and a modem status read about 13 us; the waits are those the job ran on virtual time.
struct NativeUartModel {
    static constexpr double kLineSetMicros = 1.3;
    static constexpr double kStatusReadMicros = 13.0;

    LineCallCounts counts;
    double waitSeconds = 0;

    double seconds() const {
        const double sets = static_cast<double>(counts.dtr + counts.rts + counts.breaks);
        return (sets * kLineSetMicros + static_cast<double>(counts.ringReads) * kStatusReadMicros) /
                   1e6 +
               waitSeconds;
    }
};

NativeUartModel programAndVerify(LinkMode mode, int& result, double& virtualSeconds) {
    auto bench = std::make_unique<Bench>(sampleBlock(2));
    bench->engine.setLinkMode(mode);
    result = bench->engine.programFirmware(fullImage(), nullptr);
    NativeUartModel model;
    model.counts = bench->lightBar.counts();
    // Every line call moved the virtual clock by one microsecond; the rest is waiting.
    const std::uint64_t callMicros = model.counts.lineCalls() * VirtualTiming{}.lineCallMicros;
    virtualSeconds = static_cast<double>(bench->clock.micros()) / 1e6;
    model.waitSeconds = static_cast<double>(bench->clock.micros() - callMicros) / 1e6;
    if (bench->lightBar.timingViolations() != 0) result = -1;
    return model;
}

// Program + verify a full image on the specified link (arg 0) and the fast link (arg 1): line
// calls by kind per firmware byte and the modelled native UART time. Targets for the fast link:
// at most 0.4 times the specified model's time and at most 170 line calls per firmware byte.
void BM_ProgramAndVerifyFullImage(benchmark::State& state) {
    const LinkMode mode = state.range(0) == 0 ? LinkMode::Specified : LinkMode::Fast;
    const double bytes = static_cast<double>(fullImage().length);
    NativeUartModel model;
    double virtualSeconds = 0;
    for (auto _ : state) {
        int result = 0;
        model = programAndVerify(mode, result, virtualSeconds);
        if (result != 0) state.SkipWithError("programming failed or missed a wait");
    }
    state.SetLabel(mode == LinkMode::Fast ? "fast link" : "specified link");
    state.counters["image_bytes"] = bytes;
    state.counters["line_calls_per_byte"] = static_cast<double>(model.counts.lineCalls()) / bytes;
    state.counters["sets_per_byte"] =
        static_cast<double>(model.counts.dtr + model.counts.rts) / bytes;
    state.counters["breaks_per_byte"] = static_cast<double>(model.counts.breaks) / bytes;
    state.counters["status_reads_per_byte"] = static_cast<double>(model.counts.ringReads) / bytes;
    state.counters["waits_s"] = model.waitSeconds;
    state.counters["native_uart_s"] = model.seconds();
    state.counters["virtual_s"] = virtualSeconds;
    if (mode == LinkMode::Fast) {
        static const double specifiedSeconds = [] {
            int result = 0;
            double unused = 0;
            return programAndVerify(LinkMode::Specified, result, unused).seconds();
        }();
        state.counters["vs_specified"] = model.seconds() / specifiedSeconds;
    }
}
BENCHMARK(BM_ProgramAndVerifyFullImage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Programming a block with a changed product name: written over the old text (format 2, bits
// only cleared), updated in place (format 2), or after the erase (format 1 always erases).
void programBlock(benchmark::State& state, int format, const char* newName) {
    auto changed = sampleBlock(format);
    changed.productName = newName;
    BlockArea reference;
    renderBlock(changed, reference);
    std::uint64_t lineCalls = 0;
    double virtualSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<Bench>(sampleBlock(format));
        state.ResumeTiming();
        if (bench->engine.programBlock(reference) != 0) state.SkipWithError("programming failed");
        state.PauseTiming();
        lineCalls = bench->lightBar.counts().lineCalls();
        virtualSeconds = static_cast<double>(bench->clock.micros()) / 1e6;
        bench.reset();
        state.ResumeTiming();
    }
    state.counters["line_calls"] = static_cast<double>(lineCalls);
    state.counters["virtual_s"] = virtualSeconds;
}

void BM_ProgramBlockOverOldText(benchmark::State& state) { programBlock(state, 2, "KD-5"); }
void BM_ProgramBlockInPlace(benchmark::State& state) { programBlock(state, 2, "KD-8"); }
void BM_ProgramBlockWithErase(benchmark::State& state) { programBlock(state, 1, "KD-8"); }
BENCHMARK(BM_ProgramBlockOverOldText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramBlockInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramBlockWithErase)->Unit(benchmark::kMillisecond);

} // namespace
