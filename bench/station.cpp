// The production station on virtual time: 4 bays of 5 units each through emulated FT232R
// adapters against 1 bay of 5 units, every unit the station's whole job (read, number, backup,
// erase, calibration and block back, an 84 KB firmware programmed and verified). Each bay runs as
// a worker process of its own with its own adapter, so a bay's time is its own virtual clock's;
// the station's time is that of its slowest bay, plus what the shared ledger costs each unit on
// this machine's disk (written down and synced under its lock). Goal: 4 bays in at most 1.2
// times the time of one.
#include "app/RecordHost.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/EmulatedFt232r.h"
#include "station/BayRunner.h"
#include "station/FactoryUnit.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tessel;

// The operator presses Start for each unit, then the bay ends.
struct StartEachUnit final : BayControl {
    int units = 0;
    std::optional<std::string> next(int waitMs) override {
        if (waitMs == 0) return std::nullopt;
        if (units == 0) return "quit";
        --units;
        return "start";
    }
};

FirmwareImage update84k() {
    FirmwareImage im;
    std::uint32_t x = 1;
    for (std::size_t i = 0; i < 84 * 1024; ++i) {
        x = x * 1103515245u + 12345u;
        im.bytes[i] = static_cast<std::uint8_t>((x >> 16) % 255);
    }
    const char id[] = "<Veltrane Inc. Firmware ID>:product:Bench:version:v9.9:VCB Format:2"
                      ":date:2026-12-08<end>";
    std::memcpy(im.bytes.data() + 64, id, sizeof id - 1);
    im.updateLength();
    return im;
}

struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("tessel-bench-station-" + std::to_string(::getpid()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// One bay: its light bar behind its own emulated adapter, on its own clock.
struct Bay {
    VirtualClock clock;
    VirtualLightBar lightBar{clock};
    EmulatedFt232r adapter{lightBar, clock};
    MemoryPortSettings settings;
    int passed = 0;
    EventJobWindow window;
    RecordHost host{false};
    ChipProgrammer engine{lightBar, clock, settings, window, host, &adapter};

    explicit Bay(int n)
        : window(n, [this](const BayEvent& e) {
              passed += e.kind == BayEvent::Kind::Unit && e.result == result::Ok;
          }) {
        lightBar.setLogging(false);
        settings.setDevicePath(1, "ftdi:");
        engine.selectPort(1);
    }
};

struct BayTime {
    double seconds = 0;
    int passed = 0;
    double usbPacketsPerMs = 0;
};

BayTime runBay(int n, int units, SerialLedger& ledger, const FirmwareImage& image,
               const std::filesystem::path& folder) {
    auto bay = std::make_unique<Bay>(n);
    bay->engine.setBackupFolder((folder / ("bay" + std::to_string(n) + "-backups")).string());
    std::uint32_t made = 0;
    makeFactoryFresh(bay->lightBar, ++made);
    StartEachUnit control;
    control.units = units;
    ConfigBlock block;
    block.format = 2;
    block.productName = "Bench";
    block.option(SwitchOption::Tilt) = OptionState::Yes;
    BayRunner runner(
        bay->engine, bay->window, bay->clock, ledger, control,
        {.numbering = {.blockTemplate = block, .acquireTilt = true, .bay = n, .port = "ftdi:"},
         .image = &image,
         .firmwarePath = "bench.hex"},
        {.afterUnit = [&] {
            makeFactoryFresh(bay->lightBar, ++made);
            return true;
        }});
    runner.run();
    const auto& usb = bay->adapter.counts();
    const double ms = static_cast<double>(bay->clock.micros()) / 1000;
    return {static_cast<double>(bay->clock.micros()) / 1e6, bay->passed,
            static_cast<double>(usb.outPackets + usb.inPackets) / ms};
}

// What writing a unit down costs on this machine: a number taken and its outcome recorded,
// each synced under the lock.
double ledgerSecondsPerUnit(const std::filesystem::path& folder) {
    SerialLedger ledger((folder / "timing.ledger").string(), 1, 1000,
                        [] { return std::string("t"); });
    constexpr int kUnits = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kUnits; ++i) {
        const auto take = ledger.take(std::nullopt, false, 1, "ftdi:");
        ledger.record({.event = LedgerEntry::Event::Passed, .serialNumber = *take.serialNumber});
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kUnits;
}

void BM_StationFourBaysAgainstOne(benchmark::State& state) {
    constexpr int kUnits = 5;
    static const FirmwareImage image = update84k();
    double one = 0, four = 0, ledgerS = 0, packets = 0;
    int passed = 0;
    for (auto _ : state) {
        Folder folder;
        ledgerS = ledgerSecondsPerUnit(folder.path);
        SerialLedger single((folder.path / "one.ledger").string(), 1, 1000,
                            [] { return std::string("t"); });
        const BayTime alone = runBay(1, kUnits, single, image, folder.path);
        one = alone.seconds + kUnits * ledgerS;
        passed = alone.passed;
        SerialLedger shared((folder.path / "four.ledger").string(), 1, 1000,
                            [] { return std::string("t"); });
        four = 0;
        for (int n = 1; n <= 4; ++n) {
            const BayTime bay = runBay(n, kUnits, shared, image, folder.path);
            four = std::max(four, bay.seconds + kUnits * ledgerS);
            passed += bay.passed;
            packets = bay.usbPacketsPerMs;
        }
    }
    state.counters["one_bay_5_units_s"] = one;
    state.counters["four_bays_5_units_each_s"] = four;
    state.counters["four_over_one"] = four / one;
    state.counters["unit_s"] = one / kUnits;
    state.counters["ledger_ms_per_unit"] = ledgerS * 1000;
    // Full-speed USB carries at most 19 bulk packets of 64 bytes a frame (1 ms): four adapters
    // sharing one (a single-TT hub) would need this many; on ports of their own each needs its
    // own share only.
    state.counters["usb_packets_per_ms_per_adapter"] = packets;
    if (passed != 5 * kUnits) state.SkipWithError("a unit did not pass");
    if (four > 1.2 * one) state.SkipWithError("4 bays took over 1.2 times the time of one");
}
BENCHMARK(BM_StationFourBaysAgainstOne)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
