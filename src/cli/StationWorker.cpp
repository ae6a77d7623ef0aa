// station worker PROFILE BAY: one bay of a station, started by "station run" and the station
// window for each bay. It tells the station every event as a JSON line on standard output and
// takes its commands ("start", "cancel", "quit") from standard input.
#include "app/AppSession.h"
#include "app/JobHistory.h"
#include "cli/CliCommands.h"
#include "cli/CommandTable.h"
#include "cli/StationCommands.h"
#include "cli/StopSignals.h"
#include "station/BayRunner.h"
#include "station/FactoryUnit.h"
#include "station/InputLines.h"
#include "support/ComPorts.h"
#include "support/Utf8File.h"

#include <ctime>
#include <filesystem>
#include <ostream>

namespace tessel {

namespace {

namespace fs = std::filesystem;

class InputControl final : public BayControl {
public:
    std::optional<std::string> next(int waitMs) override {
        auto line = lines_.next(waitMs);
        if (!line && lines_.ended()) return "quit";
        return line;
    }

private:
    InputLines lines_;
};

// A simulated bay: its light bar kept in DIR/bayN.state, each unit done put aside into
// DIR/units/ and replaced by a factory-fresh one; DIR/bayN.unplugged pulls its adapter out.
class SimulatedBay {
public:
    SimulatedBay(std::string folder, int bay) : folder_(utf8Path(folder)), bay_(bay) {}

    std::string stateFile() const { return utf8Text(folder_ / name(".state")); }

    // The folder, and a factory-fresh unit when the bay holds none yet.
    bool prepare() {
        std::error_code ec;
        fs::create_directories(folder_ / "units", ec);
        if (fs::exists(folder_ / name(".state"), ec)) return true;
        VirtualClock clock;
        VirtualLightBar bar(clock);
        makeFactoryFresh(bar, seed(nextIndex()));
        return bar.save(stateFile());
    }

    // The unit done put aside, a new one in its place.
    bool swap(AppSession& session) {
        std::error_code ec;
        const unsigned k = nextIndex();
        if (!session.saveSimulatedState()) return false;
        fs::rename(folder_ / name(".state"), unitFile(k), ec);
        makeFactoryFresh(session.virtualLightBar(), seed(k + 1));
        return session.saveSimulatedState();
    }

    void followPlug(EmulatedFt232r& adapter) const {
        std::error_code ec;
        adapter.setPlugged(!fs::exists(folder_ / name(".unplugged"), ec));
    }

private:
    std::string name(const char* extension) const {
        return "bay" + std::to_string(bay_) + extension;
    }
    fs::path unitFile(unsigned k) const {
        return folder_ / "units" /
               ("bay" + std::to_string(bay_) + "-" + std::to_string(k) + ".state");
    }
    // The units this bay has put aside so far, plus one.
    unsigned nextIndex() const {
        unsigned k = 1;
        std::error_code ec;
        while (fs::exists(unitFile(k), ec))
            ++k;
        return k;
    }
    // Every unit a tilt calibration of its own.
    std::uint32_t seed(unsigned k) const { return static_cast<std::uint32_t>(bay_) * 1000 + k; }

    fs::path folder_;
    int bay_;
};

// A bay's session: headless, on the bay's port (simulated, an adapter's bay has the emulated one
// in front of its light bar).
AppSession::Options bayOptions(const CommandLineRequest& req, const CliEnvironment& env,
                               const std::string& port, const SimulatedBay& simulated) {
    AppSession::Options options = sessionOptions(req, env);
    options.advancedMode = false;
    BayPort where = bayPort(port);
    if (req.simulate && isUsbAdapterDevice(port)) where.device = "ftdi:";
    options.comPort = where.comPort;
    options.device = where.device;
    options.simulate = req.simulate;
    options.simulateFile = req.simulate ? simulated.stateFile() : std::string();
    return options;
}

// What the bay's jobs tell the program (a stop, a block being rewritten) and, simulated, how
// its virtual light bar follows them.
BayHooks bayHooks(AppSession& session, SimulatedBay* simulated) {
    BayHooks hooks;
    hooks.window.cancelled = [] { return stopsignals::takeCancel(); };
    hooks.window.running = [](bool on) { stopsignals::setJobRunning(on); };
    hooks.window.rewriting = [](bool on) { stopsignals::setRewriting(on); };
    if (!simulated) return hooks;
    // The virtual light bar is kept at every change a job tells of, as a real one keeps what was
    // written to it when the program is stopped at once.
    hooks.window.lightBarChanged = [&session](const LightBarState&) {
        session.saveSimulatedState();
    };
    hooks.window.messages = [&session, simulated] {
        simulated->followPlug(session.emulatedAdapter());
    };
    hooks.beforeUnit = hooks.window.messages;
    hooks.afterUnit = [&session, simulated] { return simulated->swap(session); };
    return hooks;
}

} // namespace

ResultCode stationWorker(const CommandLineRequest& req, CliEnvironment& env) {
    const int bay = parseNumber("station worker", req.args[1], 1, static_cast<long>(kMaxBays));
    EventJobWindow window(bay, [&env](const BayEvent& event) {
        env.out << eventLine(event) << '\n';
        env.out.flush(); // a station that has gone is no reason to stop the unit in hand
    });
    auto stop = [&window](const std::string& why, ResultCode code) {
        window.send({.kind = BayEvent::Kind::Stopped, .text = why});
        return code;
    };
    if (req.simulate && req.simulateFile.empty())
        return stop("a simulated station needs --simulate=DIR", result::Usage);
    StationInputs in = loadStation(req.args[0], req.simulateFile);
    if (!in.problems.empty()) return stop(in.problems.front(), in.code);
    if (static_cast<std::size_t>(bay) > in.profile.bays.size())
        return stop("the station has no bay " + std::to_string(bay), result::Usage);
    const std::string& port = in.profile.bays[static_cast<std::size_t>(bay) - 1];

    SimulatedBay simulated(req.simulateFile, bay);
    if (req.simulate && !simulated.prepare())
        return stop("cannot write " + simulated.stateFile(), result::CannotWrite);
    AppSession session(bayOptions(req, env, port, simulated), window);
    if (const Outcome started = session.startOutcome(); !started.ok())
        return stop(started.message, started.code);
    session.noteFirmwareFile(in.firmwarePath, in.firmware.sha256);

    SerialLedger ledger(in.ledgerPath, in.profile.first, in.profile.last,
                        [] { return historyTime(std::time(nullptr)); });
    const BayHooks hooks = bayHooks(session, req.simulate ? &simulated : nullptr);
    InputControl control;
    BayRunner runner(session.engine(), window, session.portClock(), ledger, control,
                     {.numbering = {.blockTemplate = in.blockTemplate,
                                    .acquireTilt = in.profile.acquireTilt,
                                    .keepSerial = in.profile.keepSerial,
                                    .bay = bay,
                                    .port = port},
                      .image = in.firmware.image.get(),
                      .firmwarePath = in.firmwarePath,
                      .firmwareSha256 = in.firmware.sha256,
                      .autoStart = req.autoStart},
                     hooks);
    runner.run();
    session.terminate();
    return result::Ok;
}

} // namespace tessel
