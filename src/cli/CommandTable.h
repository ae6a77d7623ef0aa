#pragma once

#include "support/ResultCode.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tessel {

struct CliEnvironment;
struct CommandLineRequest;

// The command line's options, one each whatever its spellings ("-q", "--quiet").
enum class Option {
    Help,
    Version,
    Port,
    Device,
    Simulate,
    Ini,
    Advanced,
    FastLink,
    Yes,
    No,
    KeepFirmware,
    Quiet,
    Out,
    Json,
    Raw,
    Partial,
    Count,
    To,
    JsonRecord, // verify-vcb, program-vcb: "--json FILE" names the record to use
    Force,
    Serial,     // history --serial N
    Since,      // history --since DATE, station report --since DATE
    Firmware,   // station new --firmware FILE
    Template,   // station new --template FILE
    Serials,    // station new --serials FIRST-LAST
    Bay,        // station new --bay PORT...
    AcquireTilt,
    KeepSerial,
    Units,      // station run --units N
    Csv,        // station report --csv
    Auto,       // station run --auto: a bay starts when it finds a new chip
    Station,    // --station PROFILE: the window opens the production station
};

class OptionSet {
public:
    constexpr OptionSet() = default;
    constexpr OptionSet(std::initializer_list<Option> options) {
        for (const Option o : options)
            bits_ |= bit(o);
    }
    constexpr OptionSet operator|(OptionSet other) const {
        other.bits_ |= bits_;
        return other;
    }
    constexpr bool has(Option o) const { return (bits_ & bit(o)) != 0; }

private:
    static constexpr std::uint64_t bit(Option o) { return std::uint64_t{1} << static_cast<int>(o); }
    std::uint64_t bits_ = 0;
};

// The job a light bar command runs in its session.
enum class LightBarJob {
    None,
    ReadVcb,
    VerifyVcb,
    ProgramVcb,
    ConvertVcb,
    InitVcb,
    ProgramCode,
    VerifyCode,
    ReadEeprom,
    AcquireTilt,
    Restore,
};
// What a job is given from a file, read before the light bar is touched.
enum class JobSource { None, Block, Firmware, Backup };

// One command of the command line: its words, what it takes, what runs it, and its help.
struct CommandInfo {
    std::string_view name; // "read-vcb", "vcb show", ...
    bool lightBar = false; // listed with the light bar commands
    OptionSet options{};   // every option it takes, --help and --version aside
    int minArgs = 0;
    int maxArgs = 0;
    ResultCode (*run)(const CommandLineRequest&, CliEnvironment&) = nullptr;
    LightBarJob job = LightBarJob::None;
    JobSource source = JobSource::None;
    void (*check)(CommandLineRequest&) = nullptr; // rules for its arguments beyond their count
    bool rawData = false;                         // its data is always raw bytes
    bool hidden = false;                          // not in the help (run by the program itself)
    const char* synopsis = "";
    const char* description = "";
    const char* example = "";
};

std::span<const CommandInfo> commandTable();
const CommandInfo* findCommand(std::string_view name);

// A whole decimal number from low to high; anything else is a usage error naming what.
int parseNumber(std::string_view what, const std::string& text, long low, long high);

} // namespace tessel
