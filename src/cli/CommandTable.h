#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tessel {

// One command of the command line: its words, its arguments, the options it uses besides the
// global ones, and its help.
struct CommandInfo {
    const char* name;        // "read-vcb", "vcb show", ...
    int minArgs;
    int maxArgs;
    const char* options;     // the options it takes, blank-separated ("--out --json --raw")
    const char* synopsis;
    const char* description;
    const char* example;
};

// The options every light bar command takes: the port, the simulation, the job's answers.
inline constexpr std::string_view kJobOptions =
    "--port --device --simulate --ini --advanced --fast-link --yes --no --keep-firmware --quiet";

std::span<const CommandInfo> commandTable();
const CommandInfo* findCommand(std::string_view name);
bool takesOption(const CommandInfo& command, std::string_view option);

} // namespace tessel
