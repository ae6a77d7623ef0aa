// The device jobs on the virtual light bar on virtual time: the CPU cost of programming and
// verifying a full code area, and the line calls each job needs (every line call is one platform
// call on a real port, so they decide how long a job takes at the bench).
#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>
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

    // The jobs save their backups in a folder of the bench's own, removed afterwards.
    std::string backups = (std::filesystem::temp_directory_path() /
                           ("tessel-bench-backups-" + std::to_string(::getpid())))
                              .string();

    explicit Bench(const ConfigBlock& block) {
        engine.setBackupFolder(backups);
        lightBar.setLogging(false);
        BlockArea area;
        renderBlock(block, area);
        for (std::size_t i = 0; i < area.size(); ++i)
            lightBar.setFlashByte(0x1F000 + static_cast<std::uint32_t>(i), area[i]);
    }
    ~Bench() {
        std::error_code ec;
        std::filesystem::remove_all(backups, ec);
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

void BM_ProgramAndVerifyFullImage(benchmark::State& state) {
    const FirmwareImage& image = fullImage();
    std::uint64_t lineCalls = 0;
    double virtualSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<Bench>(sampleBlock(2));
        state.ResumeTiming();
        const int result = bench->engine.programFirmware(image, nullptr);
        state.PauseTiming();
        if (result != 0) state.SkipWithError("programming failed");
        lineCalls = bench->lightBar.counts().lineCalls();
        virtualSeconds = static_cast<double>(bench->clock.micros()) / 1e6;
        bench.reset();
        state.ResumeTiming();
    }
    state.counters["image_bytes"] = static_cast<double>(image.length);
    state.counters["line_calls"] = static_cast<double>(lineCalls);
    state.counters["line_calls_per_byte"] =
        static_cast<double>(lineCalls) / static_cast<double>(image.length);
    state.counters["virtual_s"] = virtualSeconds;
}
BENCHMARK(BM_ProgramAndVerifyFullImage)->Unit(benchmark::kMillisecond)->Iterations(3);

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
