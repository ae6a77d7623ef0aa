#pragma once

#include "support/ResultCode.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessel {

struct CommandInfo;

// Everything the command line was asked to do. Options may stand before or after the command.
struct CommandLineRequest {
    // Options for every light bar command.
    std::optional<int> port;               // --port N (1..4); default: the INI's "COM Port"
    std::optional<std::string> device;     // --device PATH for the selected port
    bool simulate = false;                 // --simulate[=FILE]
    std::string simulateFile;              // empty: a fresh virtual light bar for this run
    std::optional<std::string> iniPath;    // --ini PATH
    bool advanced = false;                 // --advanced
    bool fastLink = false;                 // --fast-link
    bool yes = false;                      // --yes
    bool no = false;                       // --no
    bool quiet = false;                    // --quiet
    bool keepFirmware = false;             // --keep-firmware: Cancel at every erase
    bool force = false;                    // restore --force: a backup of another serial number
    bool help = false;                     // --help (global, or for the command)
    std::string helpTopic;                 // --help exit-codes
    bool version = false;                  // --version

    // The command: "read-vcb", "vcb show", "hex info", ...; empty when none was given.
    std::string command;
    const CommandInfo* info = nullptr;     // the command's entry in the command table
    // "vcb" or "hex" given alone: its subcommands are listed.
    std::string commandGroup;
    std::vector<std::string> args;         // positional arguments of the command
    std::optional<std::string> out;        // --out FILE: the data into FILE, not standard output
    bool json = false;                     // --json (a flag, or with verify/program: the input)
    bool raw = false;                      // --raw: the data's raw bytes (block area, EEPROM)
    bool partial = false;                  // hex image --partial
    std::optional<std::string> jsonInput;  // verify-vcb/program-vcb --json FILE
    std::optional<int> count;              // read-eeprom --count N
    std::optional<int> toFormat;           // vcb convert --to 1|2
    std::optional<std::int32_t> serial;    // history --serial N
    std::string since;                     // history --since DATE, as records compare it

    // The production station.
    std::optional<std::string> firmware;   // station new --firmware FILE
    std::optional<std::string> blockTemplate; // station new --template FILE
    std::optional<std::pair<std::int32_t, std::int32_t>> serials; // --serials FIRST-LAST
    std::vector<std::string> bays;         // --bay PORT...
    bool acquireTilt = false;              // --acquire-tilt
    bool keepSerial = false;               // --keep-serial
    std::optional<int> units;              // station run --units N
    bool csv = false;                      // station report --csv
    bool autoStart = false;                // --auto
    std::optional<std::string> station;    // --station PROFILE (the window)
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses argv[1..] by the command table; throws UsageError with a message for the operator (an
// unknown command word names the closest command).
CommandLineRequest parseCommandLine(const std::vector<std::string>& args);

// The help texts: the whole program's, one command's, a command group's subcommands, the exit
// codes with their messages.
std::string usageText();
std::string commandHelp(const std::string& command);
std::string groupHelp(const std::string& group);
std::string exitCodesText();

} // namespace tessel
