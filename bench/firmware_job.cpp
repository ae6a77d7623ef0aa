// The device jobs on the virtual light bar on virtual time: the CPU cost of programming and
// verifying a full code area on either link, and the line calls each job needs (every line call
// is one platform call on a real port, so they decide how long a job takes at the bench). Then
// the modelled time of a firmware update through a USB adapter: the FT232R in bit-bang mode, the
// fast link through the adapter's serial driver, a native UART, and avrdude's serial bit-bang.
#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/EmulatedFt232r.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <benchmark/benchmark.h>

#include <cmath>
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

// timing: what a line call costs (1 us: a native port; 1 ms: a USB adapter's control transfer).
struct Bench {
    VirtualClock clock;
    VirtualLightBar lightBar;
    EmulatedFt232r adapter{lightBar, clock};
    MemoryPortSettings settings;
    AgreeingWindow window;
    RecordHost host{true};
    ChipProgrammer engine{lightBar, clock, settings, window, host, &adapter};

    // The jobs save their backups in a folder of the bench's own, removed afterwards.
    std::string backups = (std::filesystem::temp_directory_path() /
                           ("tessel-bench-backups-" + std::to_string(::getpid())))
                              .string();

    explicit Bench(const ConfigBlock& block, VirtualTiming timing = {}) : lightBar(clock, timing) {
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

// codeBytes of code with no erased byte; the rest of the code area erased.
FirmwareImage imageOf(std::size_t codeBytes) {
    FirmwareImage im;
    std::uint32_t x = 1;
    for (std::size_t i = 0; i < codeBytes; ++i) {
        x = x * 1103515245u + 12345u;
        im.bytes[i] = static_cast<std::uint8_t>((x >> 16) % 255); // never 0xFF
    }
    const char id[] = "<Veltrane Inc. Firmware ID>:product:Bench:version:v9.9:VCB Format:2"
                      ":date:2026-12-08<end>";
    std::memcpy(im.bytes.data() + 64, id, sizeof id - 1);
    im.updateLength();
    return im;
}

// A code area with no erased byte: the image's length is the whole 126976 bytes.
const FirmwareImage& fullImage() {
    static const FirmwareImage image = imageOf(FirmwareImage::kSize);
    return image;
}

// An update of 84 KB of code (plus the erased tail every image length carries).
const FirmwareImage& update84k() {
    static const FirmwareImage image = imageOf(84 * 1024);
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

NativeUartModel programAndVerify(LinkMode mode, int& result, double& virtualSeconds,
                                 const FirmwareImage& image = fullImage()) {
    auto bench = std::make_unique<Bench>(sampleBlock(2));
    bench->engine.setLinkMode(mode);
    result = bench->engine.programFirmware(image, nullptr);
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

// --- Through a USB adapter ----------------------------------------------------------------------

// A program-code job (program, verify, block kept) as modelled: seconds and what the link used
// per instruction the chip received (USB transfers, or line calls).
struct Modelled {
    double seconds = 0;
    double perInstruction = 0;
    std::uint64_t instructions = 0;
    bool ok = false;
};

// (a) The FT232R in synchronous bit-bang mode at the default 100 kHz SCK: the emulated adapter
// puts every USB round trip (at least 1 ms) and every pin state on the virtual clock. With the
// fast link's waits (FastLink=1) page writes are polled instead of waited out. A cable that
// carries at most cableHz of SCK makes the first enable step the clock down until it answers.
Modelled overFt232r(const FirmwareImage& image, LinkMode waits = LinkMode::Specified,
                    std::uint32_t cableHz = UINT32_MAX) {
    auto bench = std::make_unique<Bench>(sampleBlock(2));
    bench->settings.setDevicePath(1, "ftdi:");
    bench->engine.setLinkMode(waits);
    bench->adapter.setCableLimitHz(cableHz);
    Modelled m;
    m.ok = bench->engine.programFirmware(image, nullptr) == 0 &&
           bench->lightBar.timingViolations() == 0;
    m.instructions = bench->lightBar.counts().instructions;
    m.seconds = static_cast<double>(bench->clock.micros()) / 1e6;
    m.perInstruction = static_cast<double>(bench->adapter.counts().transfers) / static_cast<double>(m.instructions);
    return m;
}

// (b) The fast link through the adapter's serial driver: every line call a USB control transfer
// of 1 ms, on the virtual clock (so the page polls see it too).
Modelled fastLinkOverUsbSerial(const FirmwareImage& image) {
    auto bench = std::make_unique<Bench>(sampleBlock(2), VirtualTiming{.lineCallMicros = 1000});
    bench->engine.setLinkMode(LinkMode::Fast);
    Modelled m;
    m.ok = bench->engine.programFirmware(image, nullptr) == 0 &&
           bench->lightBar.timingViolations() == 0;
    m.instructions = bench->lightBar.counts().instructions;
    m.seconds = static_cast<double>(bench->clock.micros()) / 1e6;
    m.perInstruction = static_cast<double>(bench->lightBar.counts().lineCalls()) / static_cast<double>(m.instructions);
    return m;
}

// avrdude 7.1's serial bit-bang ("-c <serbb cable> -U flash:w:FILE", auto-erase and auto-verify
// on) modelled from its bitbang.c and serbb_posix.c: each bit sets MOSI, raises SCK, reads MISO
// and drops SCK; TXD is one ioctl (TIOCSBRK/TIOCCBRK), DTR or RTS two (TIOCMGET, then TIOCMSET),
// MISO one (TIOCMGET): 192 calls an instruction, 96 of them status reads. Its Windows serbb sets
// a line with one EscapeCommFunction: 128 calls, 32 status reads. It loads every byte of the
// image, writes each page and sleeps its 4.5 ms, reads every byte back to verify; it enters
// programming mode twice (before and after the erase: 3 x 20 ms, one instruction), erases
// (9 ms), reads the signature and, in safe mode, the three fuses before and after. It keeps no
// block and reads no backup.
struct AvrdudeModel {
    double instructions = 0;
    double waitSeconds = 0;

    explicit AvrdudeModel(const FirmwareImage& image) {
        const double bytes = static_cast<double>(image.length);
        const double pages = std::ceil(bytes / 256.0);
        instructions = 2 + 3 + 6 + 1 + bytes + pages + bytes;
        waitSeconds = 2 * 0.060 + 0.009 + pages * 0.0045;
    }
    double seconds(double callsPerInstruction, double statusReads, double setMicros,
                   double readMicros) const {
        const double sets = callsPerInstruction - statusReads;
        return instructions * (sets * setMicros + statusReads * readMicros) / 1e6 + waitSeconds;
    }
};

// The three links on the full image (arg 0) and the 84 KB update (arg 1), the FT232R also on a
// cable that needs the clock stepped down to 50 kHz. Targets: the FT232R updates 84 KB in at
// most 90 s at 100 kHz and at least 100 times faster than the fast link through the adapter's
// serial driver; with no work done twice, the fast link takes no longer than avrdude on the same
// image, through the adapter and on a native UART.
void BM_FirmwareUpdateThroughAUsbAdapter(benchmark::State& state) {
    const FirmwareImage& image = state.range(0) == 0 ? fullImage() : update84k();
    Modelled ft232r, ft232rFastWaits, ft232rStepDown, usbSerial;
    NativeUartModel native;
    int nativeResult = 0;
    double unused = 0;
    for (auto _ : state) {
        ft232r = overFt232r(image);
        ft232rFastWaits = overFt232r(image, LinkMode::Fast);
        ft232rStepDown = overFt232r(image, LinkMode::Specified, 60000); // answers at 50 kHz
        usbSerial = fastLinkOverUsbSerial(image);
        native = programAndVerify(LinkMode::Fast, nativeResult, unused, image);
    }
    if (!ft232r.ok || !ft232rFastWaits.ok || !ft232rStepDown.ok || !usbSerial.ok ||
        nativeResult != 0)
        state.SkipWithError("a job failed or missed a wait");
    const AvrdudeModel avrdude(image);
    const double avrdudeUsb = avrdude.seconds(192, 96, 1000, 1000);
    const double avrdudeNative = avrdude.seconds(192, 96, NativeUartModel::kLineSetMicros,
                                                 NativeUartModel::kStatusReadMicros);
    const double avrdudeWin32Native = avrdude.seconds(128, 32, NativeUartModel::kLineSetMicros,
                                                      NativeUartModel::kStatusReadMicros);
    const double nativeInstructions = static_cast<double>(usbSerial.instructions);

    state.SetLabel(state.range(0) == 0 ? "full 126976-byte image" : "84 KB update");
    state.counters["image_bytes"] = static_cast<double>(image.length);
    state.counters["a_ft232r_s"] = ft232r.seconds;
    state.counters["a_transfers_per_instr"] = ft232r.perInstruction;
    state.counters["a_fast_waits_s"] = ft232rFastWaits.seconds;
    state.counters["a_50khz_after_step_down_s"] = ft232rStepDown.seconds;
    state.counters["b_usb_serial_s"] = usbSerial.seconds;
    state.counters["b_line_calls_per_instr"] = usbSerial.perInstruction;
    state.counters["c_native_uart_s"] = native.seconds();
    state.counters["c_line_calls_per_instr"] = static_cast<double>(native.counts.lineCalls()) / nativeInstructions;
    state.counters["b_over_a"] = usbSerial.seconds / ft232r.seconds;
    state.counters["avrdude_usb_s"] = avrdudeUsb;
    state.counters["avrdude_native_s"] = avrdudeNative;
    state.counters["fast_vs_avrdude_usb"] = usbSerial.seconds / avrdudeUsb;
    state.counters["fast_vs_avrdude_native"] = native.seconds() / avrdudeNative;
    state.counters["fast_vs_avrdude_win32_native"] = native.seconds() / avrdudeWin32Native;
    if (state.range(0) == 1 && ft232r.seconds > 90) state.SkipWithError("84 KB over the FT232R took over 90 s");
    if (usbSerial.seconds < 100 * ft232r.seconds) state.SkipWithError("the FT232R is not 100 times faster");
    if (usbSerial.seconds > avrdudeUsb || native.seconds() > avrdudeNative)
        state.SkipWithError("the fast link is slower than avrdude");
}
BENCHMARK(BM_FirmwareUpdateThroughAUsbAdapter)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
