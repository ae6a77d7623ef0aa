// station new, check and report: a station's profile and its ledger, no light bar touched.
#include "cli/StationCommands.h"
#include "app/AppSession.h"
#include "cli/CliApp.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleJobWindow.h"
#include "station/SerialLedger.h"
#include "station/StationReport.h"

#include <ostream>

namespace tessel {

namespace {

std::string rangeText(const StationProfile& p) {
    return std::to_string(p.first) + "-" + std::to_string(p.last);
}

// Whether the bay's port is there now, as the COM Port menu probes it (an adapter is listed,
// not opened). A simulated bay always is.
bool bayPresent(const CommandLineRequest& req, CliEnvironment& env, const std::string& port) {
    if (req.simulate) return true;
    // The probe's log stays out of the way: plain lines, shown only when something fails.
    CliEnvironment plain = env;
    plain.outIsTerminal = plain.errIsTerminal = plain.inIsTerminal = false;
    ConsoleJobWindow window(plain, AnswerPolicy::No, false, true);
    AppSession::Options options = sessionOptions(req, env);
    const BayPort bay = bayPort(port);
    options.comPort = bay.comPort;
    options.device = bay.device;
    AppSession session(options, window);
    const bool present = session.engine().portPresent(bay.comPort);
    session.terminate();
    return present;
}

} // namespace

void refuseStation(CliEnvironment& env, const StationInputs& in) {
    for (std::size_t i = 0; i + 1 < in.problems.size(); ++i)
        env.err << "tessel: " << in.problems[i] << '\n';
    failWith(env, in.code, in.problems.back());
}

ResultCode stationNew(const CommandLineRequest& req, CliEnvironment& env) {
    StationInputs in;
    in.profilePath = req.args[0];
    StationProfile& p = in.profile;
    p.firmwareFile = nameInProfile(in.profilePath, *req.firmware);
    p.templateFile = nameInProfile(in.profilePath, *req.blockTemplate);
    p.first = req.serials->first;
    p.last = req.serials->second;
    p.acquireTilt = req.acquireTilt;
    p.keepSerial = req.keepSerial;
    p.bays = req.bays;
    FirmwareFile firmware = loadHexFile(env, *req.firmware, FirmwareUse::Job);
    if (!firmware.ok()) failWith(env, firmware.code(), hexProblem(firmware));
    p.firmwareSha256 = firmware.sha256;
    checkStation(in, {});
    if (!in.problems.empty()) refuseStation(env, in);
    if (!writeProfile(in.profilePath, p))
        failWith(env, result::CannotWrite, "cannot write " + in.profilePath);
    env.err << "tessel: " << in.profilePath << ": " << p.bays.size()
            << (p.bays.size() == 1 ? " bay" : " bays") << ", serial numbers " << rangeText(p)
            << " (" << in.numbersLeft << " left)\n";
    return result::Ok;
}

ResultCode stationCheck(const CommandLineRequest& req, CliEnvironment& env) {
    if (req.simulate && req.simulateFile.empty())
        failWith(env, result::Usage, "station check --simulate needs =DIR");
    StationInputs in = loadStation(req.args[0], req.simulateFile);
    if (in.problems.empty()) {
        for (std::size_t i = 0; i < in.profile.bays.size(); ++i)
            if (!bayPresent(req, env, in.profile.bays[i]))
                in.refuse(result::BadInput, "bay " + std::to_string(i + 1) + ": " +
                                                in.profile.bays[i] + " is not there");
    }
    if (!in.problems.empty()) refuseStation(env, in);
    const std::string text = in.profilePath + ": firmware " + in.firmwarePath + " (SHA-256 " +
                             in.firmware.sha256 + "), serial numbers " + rangeText(in.profile) +
                             " (" + std::to_string(in.numbersLeft) + " left), " +
                             std::to_string(in.profile.bays.size()) +
                             (in.profile.bays.size() == 1 ? " bay" : " bays") + ": ok\n";
    writeStandardOutput(env, text);
    return result::Ok;
}

ResultCode stationReport(const CommandLineRequest& req, CliEnvironment& env) {
    if (req.simulate && req.simulateFile.empty())
        failWith(env, result::Usage, "station report --simulate needs =DIR");
    const std::string& profilePath = req.args[0];
    const ProfileRead read = readProfile(profilePath);
    if (!read.ok()) failWith(env, read.code(), *read.problem);
    const std::string path = ledgerPath(profilePath, req.simulateFile);
    const LedgerContents ledger = readLedger(path);
    if (!ledger.readable) failWith(env, result::InputFileOpenError, cannotReadMessage(path, {}));
    if (ledger.unreadableLines > 0)
        env.err << "tessel: " << ledger.unreadableLines
                << (ledger.unreadableLines == 1 ? " line of " : " lines of ") << path
                << (ledger.unreadableLines == 1 ? " holds" : " hold") << " no entry, left out\n";
    const StationReport report =
        makeReport(ledger, read.profile.first, read.profile.last, req.since);
    writeOutput(env, req.out,
                req.csv ? reportCsv(report)
                        : "Station " + profilePath + ", serial numbers " + rangeText(read.profile) +
                              "\n" + reportText(report));
    return result::Ok;
}

} // namespace tessel
