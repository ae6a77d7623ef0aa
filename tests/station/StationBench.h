#pragma once

#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "block/TiltRecord.h"
#include "firmware/HexReader.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/VirtualLightBar.h"
#include "station/BayRunner.h"
#include "station/FactoryUnit.h"
#include "support/SampleHex.h"
#include "support/TempDir.h"

#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tessel::testing {

// A bay's commands from a script: each wait for a Start gets one while units are left, then
// "quit"; a job's look at its commands finds what the test put in midJob.
struct ScriptedControl final : BayControl {
    int units = 0;
    std::deque<std::string> midJob;
    std::optional<std::string> next(int waitMs) override {
        if (waitMs == 0) {
            if (midJob.empty()) return std::nullopt;
            std::string command = midJob.front();
            midJob.pop_front();
            return command;
        }
        if (units == 0) return "quit";
        --units;
        return "start";
    }
};

// One bay on a virtual light bar and virtual time, with a ledger in a temporary folder: the
// engine as a worker runs it, each unit swapped for a factory-fresh one afterwards (unless told
// to keep it), every event kept.
struct StationBench {
    TempDir dir;
    VirtualClock clock;
    VirtualLightBar lightBar{clock};
    MemoryPortSettings settings;
    std::vector<BayEvent> events;
    std::function<void(const BayEvent&)> onEvent; // runs as each event is told
    EventJobWindow window{1, [this](const BayEvent& e) {
                              events.push_back(e);
                              if (onEvent) onEvent(e);
                          }};
    RecordHost host{false};
    ChipProgrammer engine{lightBar, clock, settings, window, host};
    SerialLedger ledger{dir / "line.ledger", 100, 104,
                        [] { return std::string("2026-12-08T10:00:00+01:00"); }};
    ScriptedControl control;
    FirmwareImage image;
    BaySetup setup;
    bool swapUnits = true;
    unsigned unitsMade = 1;

    StationBench() {
        std::istringstream hex(sampleHex(2, 3000));
        readHex(hex, image);
        engine.selectPort(1);
        engine.setBackupFolder(dir / "backups");
        makeFactoryFresh(lightBar, unitsMade);
        setup.numbering.blockTemplate = blockTemplate();
        setup.numbering.acquireTilt = true;
        setup.numbering.bay = 1;
        setup.numbering.port = "COM1";
        setup.image = &image;
        setup.firmwarePath = "demo.hex";
    }

    static ConfigBlock blockTemplate() {
        ConfigBlock r;
        r.format = 2;
        r.productName = "KD-7";
        r.option(SwitchOption::Tilt) = OptionState::Yes;
        return r;
    }

    // Runs the bay until its script ends; the units' events in order.
    std::vector<BayEvent> runUnits(int units) {
        control.units = units;
        BayRunner runner(engine, window, clock, ledger, control, setup, {.afterUnit = [this] {
                             if (!swapUnits) return false;
                             makeFactoryFresh(lightBar, ++unitsMade);
                             return true;
                         }});
        runner.run();
        return ofKind(BayEvent::Kind::Unit);
    }
    std::vector<BayEvent> ofKind(BayEvent::Kind kind) const {
        std::vector<BayEvent> found;
        for (const BayEvent& e : events)
            if (e.kind == kind) found.push_back(e);
        return found;
    }

    // The light bar's block as the jobs read it.
    ConfigBlock flashRecord() const {
        BlockArea area;
        for (std::size_t i = 0; i < area.size(); ++i) {
            const std::uint8_t b = lightBar.flashByte(0x1F000 + static_cast<std::uint32_t>(i));
            area[i] = b == 0 ? '~' : b;
        }
        ConfigBlock r;
        parseBlock(area, r);
        return r;
    }
    bool firmwareProgrammed() const {
        for (std::size_t i = 0; i < image.length; ++i)
            if (lightBar.flashByte(static_cast<std::uint32_t>(i)) != image.bytes[i]) return false;
        return true;
    }
    std::optional<TiltCalibration> eepromTilt() const {
        std::vector<std::uint8_t> bytes(kTiltSearchBytes);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = lightBar.eepromByte(static_cast<std::uint32_t>(i));
        return findTiltCalibration(bytes.data(), bytes.size());
    }
};

} // namespace tessel::testing
