// Whole station runs of the built program on virtual light bars kept in a folder: its bays'
// worker processes, the ledger they share, and runs killed at once.
#include "block/BlockText.h"
#include "block/TiltRecord.h"
#include "cli/CliApp.h"
#include "firmware/HexReader.h"
#include "sim/VirtualLightBar.h"
#include "station/SerialLedger.h"
#include "support/SampleHex.h"
#include "support/Sha256.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessel::testing {
namespace {

namespace fs = std::filesystem;

// "tessel ARGS" in a process group of its own, its output read line by line as it comes.
class Program {
public:
    explicit Program(const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
        std::vector<char*> argv{const_cast<char*>(TESSEL_EXECUTABLE)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, TESSEL_EXECUTABLE, &actions, &attr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start tessel");
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        ::close(out[1]);
        ::close(err[1]);
        fds_[0] = out[0];
        fds_[1] = err[0];
    }
    ~Program() {
        if (pid_ > 0) killNow();
        for (const int fd : fds_)
            ::close(fd);
    }

    // The next line of standard error, or nothing once both outputs have ended. Standard
    // output's lines are kept meanwhile.
    std::optional<std::string> errorLine() {
        for (;;) {
            if (auto line = take(held_[1])) return line;
            if (ended_[0] && ended_[1]) return std::nullopt;
            pollfd p[2] = {{fds_[0], POLLIN, 0}, {fds_[1], POLLIN, 0}};
            ::poll(p, 2, -1);
            for (int i = 0; i < 2; ++i) {
                if (ended_[i] || !(p[i].revents & (POLLIN | POLLHUP))) continue;
                char buf[4096];
                const auto n = ::read(fds_[i], buf, sizeof buf);
                if (n <= 0)
                    ended_[i] = true;
                else
                    held_[i].append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    // Reads to the end and waits: the exit code.
    int finish() {
        while (errorLine()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    // kill -9 of the run and its bays' workers at once, as a power cut would stop them; returns
    // once every one of them is gone.
    void killNow() {
        ::kill(-pid_, SIGKILL);
        // This test process reaps them: the workers are its own once their parent is gone.
        while (::waitpid(-pid_, nullptr, 0) > 0 || errno == EINTR) {
        }
        pid_ = 0;
    }
    std::vector<std::string> outputLines() {
        std::vector<std::string> lines;
        while (auto line = take(held_[0]))
            lines.push_back(*line);
        return lines;
    }

private:
    static std::optional<std::string> take(std::string& held) {
        const auto end = held.find('\n');
        if (end == std::string::npos) return std::nullopt;
        std::string line = held.substr(0, end);
        held.erase(0, end + 1);
        return line;
    }

    pid_t pid_ = 0;
    int fds_[2] = {-1, -1};
    std::string held_[2];
    bool ended_[2] = {false, false};
};

// A unit as it was left: in a bay, or put aside after its job.
struct Unit {
    std::string file;
    std::optional<std::int32_t> serialNumber; // of its block, when it holds a valid one
    ConfigBlock block;
    bool firmware = false; // the sample firmware, byte for byte
    std::optional<TiltCalibration> eepromTilt;
};

class StationRun : public ::testing::Test {
protected:
    void SetUp() override {
        // Workers whose run was killed become this process's children, so it can reap them.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        writeFile(dir / "demo.hex", sampleHex(2, 3000));
        std::istringstream hex(sampleHex(2, 3000));
        readHex(hex, image);
        writeFile(dir / "kd7.json",
                  R"({"format": 2, "productName": "KD-7", "options": {"Tilt": "Yes"}})");
    }
    int cli(std::vector<std::string> args) {
        std::ostringstream out, err;
        std::istringstream in;
        CliEnvironment env{out, err, in, false, false, false, TESSEL_EXECUTABLE, nullptr};
        const int code = runCommandLine(args, env);
        output = out.str();
        errors = err.str();
        return code;
    }
    void newStation(const std::string& serials, std::vector<std::string> bays) {
        std::vector<std::string> args = {"station",        "new",
                                         profile,          "--firmware",
                                         dir / "demo.hex", "--template",
                                         dir / "kd7.json", "--serials",
                                         serials,          "--acquire-tilt",
                                         "--bay"};
        args.insert(args.end(), bays.begin(), bays.end());
        ASSERT_EQ(cli(args), 0) << errors;
    }
    std::vector<std::string> runArgs(int units) {
        return {"--ini",  dir / "tessel.INI", "--simulate=" + sim,   "station", "run", profile,
                "--auto", "--units",          std::to_string(units), "--json"};
    }
    std::vector<Unit> units() const {
        std::vector<Unit> found;
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(fs::path(sim) / "units"))
            files.push_back(e.path());
        for (const auto& e : fs::directory_iterator(sim))
            if (e.path().extension() == ".state") files.push_back(e.path());
        for (const fs::path& file : files) {
            VirtualClock clock;
            VirtualLightBar bar(clock);
            EXPECT_TRUE(bar.load(file.string())) << file;
            Unit u;
            u.file = file.filename().string();
            BlockArea area;
            for (std::size_t i = 0; i < area.size(); ++i) {
                const auto b = bar.flashByte(0x1F000 + static_cast<std::uint32_t>(i));
                area[i] = b == 0 ? '~' : b;
            }
            if (locateBlock(area).present) {
                parseBlock(area, u.block);
                u.serialNumber = u.block.serialNumber;
            }
            u.firmware = true;
            for (std::size_t i = 0; i < image.length; ++i)
                u.firmware =
                    u.firmware && bar.flashByte(static_cast<std::uint32_t>(i)) == image.bytes[i];
            std::vector<std::uint8_t> eeprom(kTiltSearchBytes);
            for (std::size_t i = 0; i < eeprom.size(); ++i)
                eeprom[i] = bar.eepromByte(static_cast<std::uint32_t>(i));
            u.eepromTilt = findTiltCalibration(eeprom.data(), eeprom.size());
            found.push_back(u);
        }
        return found;
    }
    LedgerContents ledger() const { return readLedger(sim + "/line3.ledger"); }

    TempDir dir;
    std::string profile = dir / "line3.station";
    std::string sim = dir / "sim";
    FirmwareImage image;
    std::string output, errors;
};

TEST_F(StationRun, FourBaysOfFiveUnitsGetTwentyConsecutiveNumbersAndEachUnitReadsBackRight) {
    newStation("5000-5099", {"COM1", "COM2", "/dev/tessel-bay3", "ftdi:A10K1234"});
    ASSERT_EQ(cli({"--simulate=" + sim, "station", "check", profile}), 0) << errors;
    Program run(runArgs(20));
    ASSERT_EQ(run.finish(), 0);
    std::set<std::int32_t> serials;
    std::map<std::string, int> perBay;
    for (const std::string& line : run.outputLines()) {
        ASSERT_NE(line.find("\"result\":0"), std::string::npos) << line;
        const auto at = line.find("\"serialNumber\":");
        serials.insert(std::stoi(line.substr(at + 15)));
        ++perBay[line.substr(0, line.find(','))];
    }
    ASSERT_EQ(serials.size(), 20u);
    EXPECT_EQ(*serials.begin(), 5000);
    EXPECT_EQ(*serials.rbegin(), 5019);
    EXPECT_EQ(perBay.size(), 4u); // every bay made units

    int made = 0;
    for (const Unit& u : units()) {
        if (!u.serialNumber) continue; // a fresh unit waiting in its bay
        ++made;
        EXPECT_TRUE(serials.contains(*u.serialNumber)) << u.file;
        EXPECT_TRUE(u.firmware) << u.file;
        EXPECT_EQ(u.block.productName, "KD-7");
        ASSERT_TRUE(u.eepromTilt) << u.file; // the calibration survived the erase
        EXPECT_EQ(u.block.tiltCalibration, *u.eepromTilt) << u.file;
    }
    EXPECT_EQ(made, 20);
    // Each unit is one job in its bay's history, with the firmware's digest.
    int recorded = 0;
    for (int bay = 1; bay <= 4; ++bay) {
        std::istringstream history(readFile(sim + "/bay" + std::to_string(bay) + "-history.jsonl"));
        for (std::string line; std::getline(history, line);)
            recorded +=
                line.find("\"Program Light Bar Unit\"") != std::string::npos &&
                line.find("\"sha256\":\"" + sha256Hex(sampleHex(2, 3000))) != std::string::npos;
    }
    EXPECT_EQ(recorded, 20);

    ASSERT_EQ(cli({"--simulate=" + sim, "station", "report", profile}), 0) << errors;
    EXPECT_NE(output.find("Passed:       20\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Numbers left: 80\n"), std::string::npos) << output;
    ASSERT_EQ(cli({"--simulate=" + sim, "station", "report", profile, "--csv"}), 0) << errors;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 21) << output; // header and units
}

// Killed at a spread of moments of a unit's job, each chosen by what the bays have said, the
// station never gives a number twice: after each kill and a last whole run, the ledger and the
// units' blocks agree.
TEST_F(StationRun, KilledAtAnyMomentNoNumberIsEverUsedTwice) {
    newStation("7000-7099", {"COM1", "COM2", "COM3"});
    const std::vector<std::pair<std::string, int>> moments = {
        {"serial number 70", 1},
        {"Light Bar is Erased", 2},
        {"Light Bar VCB Verified Ok", 2},
        {"Light Bar EEPROM is Restored", 3},
        {"Light Bar Firmware Code is Programmed", 1},
        {"serial number 70", 4},
        {"Light Bar Firmware Code Verified Ok", 3},
    };
    for (const auto& [moment, nth] : moments) {
        Program run(runArgs(50));
        int seen = 0;
        while (auto line = run.errorLine())
            if (line->find(moment) != std::string::npos && ++seen == nth) break;
        ASSERT_EQ(seen, nth) << moment;
        run.killNow();
    }
    // A unit cut short between its erase and its calibration record's return fails again (its
    // backups hold the record): the run goes on with the other units.
    Program last(runArgs(3));
    const int code = last.finish();
    EXPECT_TRUE(code == 0 || code == 1) << code;

    // A number whose last entry is a pass is in a unit; one taken again (a retry, a rework of a
    // unit left in its bay) and cut short may have lost its block with the erase: that unit then
    // gets a new number, and the old one is never given again.
    std::set<std::int32_t> taken, passed;
    for (const LedgerEntry& e : ledger().entries) {
        if (e.event == LedgerEntry::Event::Taken) taken.insert(e.serialNumber);
        if (e.event == LedgerEntry::Event::Passed)
            passed.insert(e.serialNumber);
        else
            passed.erase(e.serialNumber);
    }
    std::map<std::int32_t, std::string> holder;
    for (const Unit& u : units()) {
        if (!u.serialNumber) continue;
        EXPECT_TRUE(taken.contains(*u.serialNumber)) << u.file << " holds " << *u.serialNumber;
        const auto [at, fresh] = holder.emplace(*u.serialNumber, u.file);
        EXPECT_TRUE(fresh) << *u.serialNumber << " in " << at->second << " and " << u.file;
    }
    for (const std::int32_t n : passed)
        EXPECT_TRUE(holder.contains(n)) << n;
    EXPECT_GE(passed.size(), 3u);
}

TEST_F(StationRun, AChangedFirmwareOrAnExhaustedRangeIsRefusedBeforeAnyUnitIsTouched) {
    newStation("10-11", {"COM1", "COM2"});
    writeFile(dir / "demo.hex", sampleHex(2, 3001));
    EXPECT_EQ(cli({"--ini", dir / "tessel.INI", "--simulate=" + sim, "station", "run", profile,
                   "--auto"}),
              65);
    EXPECT_NE(errors.find("has changed since the profile was written"), std::string::npos)
        << errors;
    EXPECT_FALSE(fs::exists(sim + "/bay1.state"));

    writeFile(dir / "demo.hex", sampleHex(2, 3000));
    fs::create_directories(sim);
    SerialLedger full(sim + "/line3.ledger", 10, 11, [] { return std::string("2026-12-08"); });
    full.take(std::nullopt, false, 1, "COM1");
    full.take(std::nullopt, false, 2, "COM2");
    EXPECT_EQ(cli({"--ini", dir / "tessel.INI", "--simulate=" + sim, "station", "run", profile,
                   "--auto"}),
              1);
    EXPECT_NE(errors.find("No serial number is left in 10-11"), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(sim + "/bay1.state"));
    EXPECT_EQ(ledger().entries.size(), 2u);
}

TEST_F(StationRun, OneBaysAdapterUnpluggedLeavesTheOtherBaysUnitsPassing) {
    newStation("300-399", {"COM1", "ftdi:A10K1234", "COM3"});
    fs::create_directories(sim);
    writeFile(sim + "/bay2.unplugged", "");
    Program run(runArgs(6));
    ASSERT_EQ(run.finish(), 0);
    const auto lines = run.outputLines();
    EXPECT_EQ(lines.size(), 6u);
    for (const std::string& line : lines) {
        EXPECT_NE(line.find("\"result\":0"), std::string::npos) << line;
        EXPECT_EQ(line.find("\"bay\":2"), std::string::npos) << line;
    }
}

} // namespace
} // namespace tessel::testing
