// station run PROFILE: every bay of the station at once, each a worker process of this program
// (so a bay's failure, hang or crash stops no other), until the units wanted have passed, the
// range is used up, or the operator ends the run.
#include "cli/CliCommands.h"
#include "cli/StationCommands.h"
#include "cli/StopSignals.h"
#include "station/InputLines.h"
#include "station/StationReport.h"
#include "station/StationRun.h"
#include "support/Utf8File.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

namespace tessel {

namespace {

// What the operator sees of the bays: the units on standard output, the bays' logs on
// standard error, each line under its bay's number.
void show(CliEnvironment& env, const CommandLineRequest& req, const StationRun& run,
          const BayEvent& e) {
    const std::string bay = "bay " + std::to_string(e.bay) + ": ";
    switch (e.kind) {
    case BayEvent::Kind::Ready:
        env.err << bay << e.port << " ready (process "
                << run.bays()[static_cast<std::size_t>(e.bay - 1)].pid << ")\n";
        break;
    case BayEvent::Kind::Line:
        if (!req.quiet) env.err << bay << e.text << '\n';
        break;
    case BayEvent::Kind::Serial:
        env.err << bay << "serial number " << *e.serialNumber << " taken (" << unitKindName(e.unit)
                << ")\n";
        break;
    case BayEvent::Kind::Unit:
        env.out << unitLine(e, req.json) << '\n';
        env.out.flush();
        break;
    case BayEvent::Kind::Stopped: env.err << bay << "stopped: " << e.text << '\n'; break;
    default: return;
    }
    env.err.flush();
}

// A bay's number as typed ("2"); nothing for anything else.
std::optional<std::size_t> bayNumbered(std::string_view text) {
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int n = std::stoi(std::string(text));
    if (n < 1) return std::nullopt;
    return static_cast<std::size_t>(n - 1);
}

// Enter starts every waiting bay and a bay's number that bay; "c" cancels every bay's unit and
// "c" with a bay's number that bay's; "q" ends the run once the units in hand are done.
void operatorCommand(StationRun& run, const std::string& line) {
    if (line.empty())
        run.startAll();
    else if (line == "q")
        run.quitAll();
    else if (line == "c")
        run.cancelAll();
    else if (line.starts_with("c ") || line.starts_with('c')) {
        if (const auto bay = bayNumbered(std::string_view(line).substr(line[1] == ' ' ? 2 : 1)))
            run.cancel(*bay);
    } else if (const auto bay = bayNumbered(line)) {
        run.start(*bay);
    }
}

} // namespace

ResultCode stationRun(const CommandLineRequest& req, CliEnvironment& env) {
    if (req.simulate && req.simulateFile.empty())
        failWith(env, result::Usage, "station run --simulate needs =DIR");
    const StationInputs in = loadStation(req.args[0], req.simulateFile);
    if (!in.problems.empty()) refuseStation(env, in);

    std::error_code ec;
    WorkerLaunch launch{.program = env.executablePath,
                        .profilePath =
                            utf8Text(std::filesystem::absolute(utf8Path(req.args[0]), ec)),
                        .iniPath = req.iniPath.value_or(""),
                        .simulationFolder = req.simulateFile,
                        .fastLink = req.fastLink,
                        .autoStart = req.autoStart};
    const std::size_t bays = in.profile.bays.size();
    StationRun run(in.profile.bays, std::make_unique<WorkerProcesses>(launch, bays), req.units);
    run.onEvent = [&](const BayEvent& e) { show(env, req, run, e); };
    if (!req.autoStart)
        env.err << "tessel: Enter starts every waiting bay, a bay's number and Enter that bay; "
                   "c cancels every bay's unit, c and a bay's number that bay's; q ends the run\n";
    // While the bays run, Ctrl+C, SIGTERM and SIGHUP cancel their units; a second one ends the
    // program at once (see StopSignals.h).
    stopsignals::setJobRunning(true);
    run.launch();
    InputLines input;
    bool stopping = false;
    while (!run.finished()) {
        run.pump(100);
        if (!stopping && stopsignals::takeCancel()) {
            stopping = true;
            run.cancelAll();
            run.quitAll();
        }
        if (stopping) continue;
        if (const auto line = input.next(0))
            operatorCommand(run, *line);
        else if (input.ended() && !req.autoStart)
            run.quitAll(); // no one left to press Start
    }
    stopsignals::setJobRunning(false);
    const bool enough = !req.units || run.passed() >= *req.units;
    env.err << "tessel: " << run.passed() << " passed, " << run.failed() << " failed\n";
    return run.failed() == 0 && enough ? result::Ok : result::Error;
}

} // namespace tessel
