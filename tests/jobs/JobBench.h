#pragma once

#include "ScriptedJobWindow.h"
#include "TappedLines.h"

#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "block/RecordFields.h"
#include "jobs/ChipProgrammer.h"
#include "link/PortSettings.h"
#include "sim/EmulatedFt232r.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tessel::testing {

// A virtual light bar on virtual time behind the engine, a scripted job window and a Qt-free
// block host: everything a job touches, inspectable afterwards. The light bar hangs on a serial
// port, or (useAdapter) on an emulated FT232R adapter.
struct JobBench {
    VirtualClock clock;
    VirtualLightBar lightBar;
    TappedLines cable{lightBar};
    EmulatedFt232r adapter{lightBar, clock};
    // Where "ftdi:" ports lead instead of the emulated adapter: a real back end with its
    // driver's test double in front of it.
    std::unique_ptr<UsbAdapters> backEnd;
    MemoryPortSettings settings;
    ScriptedJobWindow window;
    RecordHost host{true};
    ChipProgrammer engine;
    TempDir dir; // the jobs' backups land in dir/backups, never in the user's data folder

    using BackEndMaker = std::function<std::unique_ptr<UsbAdapters>(EmulatedFt232r&)>;
    // timing: the chip's minimum waits; makeBackEnd: the back end before the emulated adapter.
    explicit JobBench(VirtualTiming timing = {}, const BackEndMaker& makeBackEnd = {})
        : lightBar(clock, timing), backEnd(makeBackEnd ? makeBackEnd(adapter) : nullptr),
          engine(cable, clock, settings, window, host, backEnd ? backEnd.get() : &adapter) {
        engine.setBackupFolder(dir / "backups");
    }

    // COM1 leads to the first FT232R adapter (the emulated one).
    void useAdapter() { settings.setDevicePath(1, "ftdi:"); }
    // Each instruction the chip carried out, with the line call (counted from the bench's start)
    // that brought it: the last rising clock edge. Recorded once traceInstructions() was called.
    struct Executed {
        std::uint64_t lineCall;
        std::array<std::uint8_t, 4> bytes;
    };
    std::vector<Executed> executed;
    void traceInstructions() {
        cable.afterCall = [this] {
            const auto& log = lightBar.instructions();
            if (log.size() > executed.size())
                executed.push_back({lightBar.counts().lineCalls(), log.back()});
        };
    }
    // The line calls that brought the instructions starting with these bytes (0x4C: page writes,
    // 0xAC 0x80: the chip erase).
    std::vector<std::uint64_t> callsOf(std::vector<std::uint8_t> prefix) const {
        std::vector<std::uint64_t> calls;
        for (const auto& e : executed)
            if (std::equal(prefix.begin(), prefix.end(), e.bytes.begin())) calls.push_back(e.lineCall);
        return calls;
    }

    static constexpr std::uint32_t kBlockBase = 0x1F000;
    static constexpr std::array<std::uint8_t, 4> kChipErase = {0xAC, 0x80, 0x00, 0x00};

    // Puts a block area into the light bar's flash as it would stand there ("~" as 0x00).
    void putBlockArea(const BlockArea& area) {
        for (std::size_t i = 0; i < area.size(); ++i)
            lightBar.setFlashByte(kBlockBase + static_cast<std::uint32_t>(i),
                                  area[i] == '~' ? 0x00 : area[i]);
    }
    // The light bar's block area as stored (withdrawn bytes are 0x00 here).
    BlockArea flashBlockArea() const {
        BlockArea area;
        for (std::size_t i = 0; i < area.size(); ++i)
            area[i] = lightBar.flashByte(kBlockBase + static_cast<std::uint32_t>(i));
        return area;
    }
    // Renders a record into the light bar's block area.
    void putRecord(const ConfigBlock& record) {
        BlockArea area;
        renderBlock(record, area);
        putBlockArea(area);
    }
    // The backup files saved so far, sorted by name.
    std::vector<std::string> backupFiles() const {
        std::vector<std::string> files;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dir / "backups", ec))
            files.push_back(e.path().string());
        std::sort(files.begin(), files.end());
        return files;
    }
    static BlockArea rendered(const ConfigBlock& record) {
        BlockArea area;
        renderBlock(record, area);
        return area;
    }
    // What the light bar's block reads as: the record its parser gives, rendered as a verify
    // compares it; none when no block is found.
    std::optional<BlockArea> reading() const {
        BlockArea area = flashBlockArea();
        std::replace(area.begin(), area.end(), std::uint8_t{0}, std::uint8_t{'~'});
        if (!locateBlock(area).present) return std::nullopt;
        ConfigBlock record;
        parseBlock(area, record);
        return rendered(record);
    }
    // The record the light bar's block parses to, read as the jobs read it ("~" for 0x00).
    ConfigBlock flashRecord() const {
        BlockArea area = flashBlockArea();
        std::replace(area.begin(), area.end(), std::uint8_t{0}, std::uint8_t{'~'});
        ConfigBlock r;
        parseBlock(area, r);
        return r;
    }
    static ConfigBlock sampleRecord(int format = 2, std::int32_t serial = 314159) {
        ConfigBlock r;
        r.format = format;
        r.serialNumber = serial;
        r.productName = "KD-7";
        r.option(SwitchOption::ScalesDisplay) = OptionState::Yes;
        r.option(SwitchOption::Tilt) = OptionState::No;
        return r;
    }
    // Every field set: all options, names (trailing blank and colon included), eight values in
    // every row, a complete tilt group with negative members; it fills several flash pages.
    static ConfigBlock fullRecord(int format) {
        ConfigBlock r;
        r.format = format;
        r.serialNumber = 271828;
        r.customerId = 3;
        r.productName = "LB-3000 ";
        r.tapeMinRadius = 12.5;
        r.minSogForCogKph = 0.25;
        r.tiltOpAmpGain = 3.125;
        r.skipTapeMinRadius = r.skipMinSogForCog = r.skipTiltOpAmpGain = false;
        for (std::size_t i = 0; i < kSwitchCount; ++i)
            r.options[i] = i % 2 == 0 ? OptionState::Yes : OptionState::No;
        r.option(SwitchOption::Tilt) = OptionState::Yes;
        r.scaleNames = {"AB ", "CDE", "FG:", "H-J"};
        for (std::size_t row = 0; row < 4; ++row)
            for (std::size_t k = 0; k < kScaleRowLength; ++k) {
                r.metricScales[row][k] = static_cast<std::uint16_t>(1000 * (row + 1) + 10 * k + 1);
                r.englishScales[row][k] = static_cast<std::uint16_t>(9000 - 100 * row - k);
            }
        for (std::size_t i = 0; i < fields::kTilt.size(); ++i)
            fields::kTilt[i].set(r.tiltCalibration,
                                 (i % 3 == 0 ? -1 : 1) * static_cast<int>(7 * i + 3));
        return r;
    }
    std::string flashText(std::uint32_t from, std::size_t n) const {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += static_cast<char>(lightBar.flashByte(from + static_cast<std::uint32_t>(i)));
        return s;
    }
    bool chipErased() const {
        const auto& log = lightBar.instructions();
        return std::find(log.begin(), log.end(), kChipErase) != log.end();
    }
    // Instructions whose first byte is op (0x40/0x48 page loads, 0x4C page writes ...).
    std::size_t instructionsWith(std::uint8_t op) const {
        const auto& log = lightBar.instructions();
        return static_cast<std::size_t>(std::count_if(
            log.begin(), log.end(), [op](const auto& i) { return i[0] == op; }));
    }
    bool anyPageWriteBelow(std::uint32_t byteAddress) const {
        const auto& w = lightBar.pageWrites();
        return std::any_of(w.begin(), w.end(),
                           [&](std::uint16_t page) { return page * 2u < byteAddress; });
    }
    bool anyPageWriteFrom(std::uint32_t byteAddress) const {
        const auto& w = lightBar.pageWrites();
        return std::any_of(w.begin(), w.end(),
                           [&](std::uint16_t page) { return page * 2u + 255u >= byteAddress; });
    }
};

} // namespace tessel::testing
