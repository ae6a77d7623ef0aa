#include "cli/CliApp.h"

#include "cli/CliCommands.h"
#include "app/InputFile.h"
#include "cli/CommandTable.h"
#include "support/CompanionFiles.h"
#include "support/VersionInfo.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace tessel {

std::string errnoReason(int error) {
    return error != 0 ? std::string(": ") + std::strerror(error) : "";
}

[[noreturn]] void failWith(CliEnvironment& env, ResultCode exitCode, const std::string& message) {
    env.err << "tessel: " << message << '\n';
    env.err.flush();
    throw CommandFailure(exitCode);
}

std::string cannotReadMessage(const std::string& path, std::string_view reason) {
    return "cannot read " + path + (reason.empty() ? "" : ": " + std::string(reason));
}

std::string readInputFile(CliEnvironment& env, const std::string& path) {
    InputFile file = readInputFile(path);
    if (!file.read) failWith(env, result::InputFileOpenError, cannotReadMessage(path, file.reason));
    return std::move(file.bytes);
}

ResultCode runCommandLine(const std::vector<std::string>& args, CliEnvironment& env) {
    CommandLineRequest req;
    try {
        req = parseCommandLine(args);
        if (!req.info && !req.help && !req.version && req.commandGroup.empty())
            throw UsageError("no command given"); // the window's case, decided by the caller
    } catch (const UsageError& e) {
        env.err << "tessel: " << e.what() << "\nRun '" << env.programName
                << " --help' for the commands.\n";
        return result::Usage;
    }
    try {
        if (req.version) {
            const VersionInfo version(VersionInfo::builtIn());
            const auto files = CompanionFiles::forProgram(env.executablePath, req.iniPath.value_or(""));
            writeStandardOutput(env, version.productName() + " " + version.fileVersion() +
                                         "\nSettings: " + files.iniPath + "\n");
            return result::Ok;
        }
        if (!req.commandGroup.empty()) {
            writeStandardOutput(env, groupHelp(req.commandGroup));
            return result::Ok;
        }
        if (req.help) {
            writeStandardOutput(env, req.helpTopic == "exit-codes" ? exitCodesText()
                                     : req.command.empty()         ? usageText()
                                                                   : commandHelp(req.command));
            return result::Ok;
        }
        if ((req.raw || req.info->rawData) && !req.out && env.outIsTerminal)
            failWith(env, result::Usage,
                     "binary data is not written to a terminal: give --out FILE or redirect "
                     "standard output");
        return req.info->run(req, env);
    } catch (const CommandFailure& failure) {
        return failure.exitCode;
    }
}

std::optional<CommandLineRequest> windowRequest(const std::vector<std::string>& args) {
    CommandLineRequest req;
    try {
        req = parseCommandLine(args);
    } catch (const UsageError&) {
        return std::nullopt;
    }
    if (req.help || req.version || !req.command.empty() || !req.commandGroup.empty())
        return std::nullopt;
    return req;
}

AppSession::Options sessionOptions(const CommandLineRequest& req, const CliEnvironment& env) {
    AppSession::Options options;
    options.executablePath = env.executablePath;
    options.iniPath = req.iniPath.value_or("");
    if (req.advanced) options.advancedMode = true; // otherwise the INI's choice
    if (req.fastLink) options.fastLink = true;     // otherwise the INI's "FastLink"
    options.comPort = req.port;
    options.device = req.device;
    options.simulate = req.simulate;
    options.simulateFile = req.simulateFile;
    options.portClock = env.portClock;
    options.usbAdapters = env.usbAdapters;
    options.programName = env.programName;
    options.stationProfile = req.station.value_or("");
    options.autoStart = req.autoStart;
    return options;
}

} // namespace tessel
