#pragma once

#include "app/FirmwareFile.h"
#include "app/Outcome.h"
#include "block/ConfigBlock.h"
#include "cli/CliApp.h"
#include "cli/CommandLine.h"
#include "station/StationProfile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessel {

// A station's profile and what it names, loaded and checked before any light bar is touched.
struct StationInputs {
    std::string profilePath;
    StationProfile profile;
    std::string firmwarePath; // the firmware file as opened
    FirmwareFile firmware;
    ConfigBlock blockTemplate;
    std::string ledgerPath;
    std::int64_t numbersLeft = 0;
    std::vector<std::string> problems; // one line each; none: the station may run
    // The first problem's exit code: 14 for a file that cannot be read, 1 for a range with no
    // number left, 65 for the rest.
    ResultCode code = result::Ok;

    void refuse(ResultCode problemCode, std::string problem) {
        if (problems.empty()) code = problemCode;
        problems.push_back(std::move(problem));
    }
};

// Writes every problem on a line of its own and ends the command with the first one's code.
[[noreturn]] void refuseStation(CliEnvironment& env, const StationInputs& inputs);

// Reads the profile and checks it (simulationFolder: where a simulated run keeps its ledger).
StationInputs loadStation(const std::string& profilePath, const std::string& simulationFolder);
// Checks a profile already in inputs: the firmware file (readable, a firmware, unchanged), the
// template (readable, a valid record, its format the one the firmware needs, its block fitting
// with the range's last number, Tilt Yes when the tilt record is acquired), the range.
void checkStation(StationInputs& inputs, const std::string& simulationFolder);
// A block template: a record JSON file (starting with "{") or a block file. Nothing, with the
// reason, when it holds no valid record.
std::optional<ConfigBlock> loadTemplate(const std::string& path, Outcome& problem);

// The station commands, named in the command table.
ResultCode stationNew(const CommandLineRequest& req, CliEnvironment& env);
ResultCode stationCheck(const CommandLineRequest& req, CliEnvironment& env);
ResultCode stationRun(const CommandLineRequest& req, CliEnvironment& env);
ResultCode stationReport(const CommandLineRequest& req, CliEnvironment& env);
ResultCode stationWorker(const CommandLineRequest& req, CliEnvironment& env);

} // namespace tessel
