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

[[noreturn]] void failWith(CliEnvironment& env, int exitCode, const std::string& message) {
    env.err << "tessel: " << message << '\n';
    env.err.flush();
    throw CommandFailure(exitCode);
}

std::string cannotReadMessage(const std::string& path, const std::string& reason) {
    return "cannot read " + path + (reason.empty() ? "" : ": " + reason);
}

std::string readInputFile(CliEnvironment& env, const std::string& path, int exitCode) {
    InputFile file = readInputFile(path);
    if (!file.read) failWith(env, exitCode, cannotReadMessage(path, file.reason));
    return std::move(file.bytes);
}

int runCommandLine(const std::vector<std::string>& args, CliEnvironment& env) {
    CommandLineRequest req;
    try {
        req = parseCommandLine(args);
        if (!req.info && !req.help && !req.version && req.commandGroup.empty())
            throw UsageError("no command given"); // the window's case, decided by the caller
    } catch (const UsageError& e) {
        env.err << "tessel: " << e.what() << "\nRun '" << env.programName
                << " --help' for the commands.\n";
        return exitcode::Usage;
    }
    try {
        if (req.version) {
            const VersionInfo version(VersionInfo::builtIn());
            const auto files = CompanionFiles::forProgram(env.executablePath, req.iniPath.value_or(""));
            writeStandardOutput(env, version.productName() + " " + version.fileVersion() +
                                         "\nSettings: " + files.iniPath + "\n");
            return 0;
        }
        if (!req.commandGroup.empty()) {
            writeStandardOutput(env, groupHelp(req.commandGroup));
            return 0;
        }
        if (req.help) {
            writeStandardOutput(env, req.helpTopic == "exit-codes" ? exitCodesText()
                                     : req.command.empty()         ? usageText()
                                                                   : commandHelp(req.command));
            return 0;
        }
        if ((req.raw || req.info->rawData) && !req.out && env.outIsTerminal)
            failWith(env, exitcode::Usage,
                     "binary data is not written to a terminal: give --out FILE or redirect "
                     "standard output");
        return req.info->run(req, env);
    } catch (const CommandFailure& failure) {
        return failure.exitCode;
    }
}

} // namespace tessel
