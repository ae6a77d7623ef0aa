#include "app/StationWindowModel.h"

#include "app/AppSession.h"
#include "station/SerialLedger.h"
#include "support/CompanionFiles.h"
#include "support/ResultCode.h"
#include "support/Utf8File.h"

#include <cstdio>
#include <filesystem>

namespace tessel {

namespace {

std::string fileName(const std::string& path) {
    return utf8Text(utf8Path(path).filename());
}

} // namespace

StationWindowModel::Setup StationWindowModel::setupFor(AppSession& session,
                                                       const std::string& profilePath) {
    Setup setup{.program = currentExecutablePath(),
                .profilePath = profilePath,
                .iniPath = session.services().files().iniPath};
    // Beside the virtual light bar's backups ("bench-backups"): "bench-station".
    if (session.simulated()) {
        std::string folder = session.backupFolder();
        if (folder.ends_with("backups")) folder.replace(folder.size() - 7, 7, "station");
        setup.simulationFolder = folder;
    }
    return setup;
}

StationWindowModel::StationWindowModel(const Setup& setup, StationProfile profile,
                                       std::unique_ptr<BayLinks> links)
    : setup_(setup), profile_(std::move(profile)), run_(profile_.bays, std::move(links)) {
    run_.onEvent = [this](const BayEvent& e) {
        if (e.kind == BayEvent::Kind::Serial || e.kind == BayEvent::Kind::Unit) countNumbersLeft();
    };
    countNumbersLeft();
}

std::unique_ptr<StationWindowModel> StationWindowModel::open(const AppSession::Options& options,
                                                             Outcome& problem) {
    if (options.simulate && options.simulateFile.empty()) {
        problem = {result::Usage, "a simulated station needs --simulate=DIR"};
        return nullptr;
    }
    return open({.program = options.executablePath,
                 .profilePath = options.stationProfile,
                 .iniPath = options.iniPath,
                 .simulationFolder = options.simulate ? options.simulateFile : std::string(),
                 .autoStart = options.autoStart},
                problem);
}

std::unique_ptr<StationWindowModel> StationWindowModel::open(const Setup& setup, Outcome& problem) {
    ProfileRead read = readProfile(setup.profilePath);
    if (!read.ok()) {
        problem = {read.code(), *read.problem};
        return nullptr;
    }
    const std::size_t bays = read.profile.bays.size();
    auto links =
        std::make_unique<WorkerProcesses>(WorkerLaunch{.program = setup.program,
                                                       .profilePath = setup.profilePath,
                                                       .iniPath = setup.iniPath,
                                                       .simulationFolder = setup.simulationFolder,
                                                       .fastLink = false,
                                                       .autoStart = setup.autoStart},
                                          bays);
    return std::make_unique<StationWindowModel>(setup, std::move(read.profile), std::move(links));
}

void StationWindowModel::countNumbersLeft() {
    const LedgerContents ledger =
        readLedger(ledgerPath(setup_.profilePath, setup_.simulationFolder));
    numbersLeft_ = numbersLeft(ledger, profile_.first, profile_.last);
}

void StationWindowModel::launch() {
    run_.launch();
    notify();
}

void StationWindowModel::pump(int waitMs) {
    if (!run_.pump(waitMs).empty()) notify();
}

void StationWindowModel::apply(std::size_t bay, const BayEvent& event) {
    run_.apply(bay, event);
    notify();
}

// Waiting workers end at once; one that does not within five seconds is ended by force when
// the run goes.
void StationWindowModel::shutDown() {
    run_.quitAll();
    for (int waits = 0; waits < 50 && !run_.finished(); ++waits)
        run_.pump(100);
}

std::string StationWindowModel::caption() const {
    return "Production Station – " + fileName(setup_.profilePath) +
           (setup_.simulationFolder.empty() ? "" : " – virtual light bars");
}

std::string StationWindowModel::headerText(std::string_view control) const {
    if (control == "lStationProfile") return "Profile: " + setup_.profilePath;
    if (control == "lStationFirmware")
        return "Firmware: " + profile_.firmwareFile + "   SHA-256 " +
               profile_.firmwareSha256.substr(0, 16) + "…";
    if (control == "lStationNumbersLeft")
        return "Serial numbers left: " + std::to_string(numbersLeft_) + " of " +
               std::to_string(profile_.first) + "–" + std::to_string(profile_.last);
    if (control == "lStationCounts") {
        char yield[32] = "–";
        if (const auto y = run_.yield()) std::snprintf(yield, sizeof yield, "%.1f %%", *y);
        return "Passed " + std::to_string(run_.passed()) + "   Failed " +
               std::to_string(run_.failed()) + "   Yield " + yield;
    }
    return {};
}

StationWindowModel::BayView StationWindowModel::bay(std::size_t i) const {
    const BayStatus& b = run_.bays()[i];
    BayView v;
    v.port = "Bay " + std::to_string(i + 1) + " – " + b.port;
    const std::string serial = b.serialNumber ? "S/N " + std::to_string(*b.serialNumber) : "";
    using S = BayStatus::State;
    switch (b.state) {
    case S::Starting: v.state = "STARTING"; break;
    case S::Running:
        v.state = "RUNNING";
        v.colour = Colour::Blue;
        v.detail = serial.empty() ? std::to_string(b.progress) + " %"
                                  : serial + "   " + std::to_string(b.progress) + " %";
        v.running = true;
        break;
    case S::Stopped:
        v.state = "STOPPED";
        v.colour = Colour::Maroon;
        v.detail = b.reason;
        break;
    case S::Waiting:
        if (!b.lastPassed) {
            v.state = "WAITING";
            v.detail = setup_.autoStart ? "for a light bar" : "press Start";
        } else if (*b.lastPassed) {
            v.state = "PASS";
            v.colour = Colour::Green;
            v.detail = serial;
        } else {
            v.state = "FAIL";
            v.colour = Colour::Red;
            v.detail = serial.empty() ? b.reason : serial + "\n" + b.reason;
        }
        break;
    }
    v.step = b.state == S::Running ? b.step : std::string();
    v.progress = b.progress;
    for (const std::string& line : b.log)
        v.log += line + "\n";
    v.canStart = b.state == S::Waiting && run_.moreUnitsWanted();
    v.canCancel = b.state == S::Running;
    return v;
}

} // namespace tessel
