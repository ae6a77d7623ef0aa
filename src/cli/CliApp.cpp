#include "cli/CliApp.h"

#include "cli/CliCommands.h"
#include "support/AtomicFile.h"
#include "support/Utf8File.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace tessel {

[[noreturn]] void failWith(CliEnvironment& env, int exitCode, const std::string& message) {
    env.err << "tessel: " << message << '\n';
    env.err.flush();
    throw CommandFailure{exitCode};
}

std::string readInputFile(CliEnvironment& env, const std::string& path, int exitCode) {
    std::error_code ec;
    const auto status = std::filesystem::status(utf8Path(path), ec);
    if (ec) failWith(env, exitCode, "cannot read " + path + ": " + ec.message());
    if (std::filesystem::is_directory(status))
        failWith(env, exitCode, "cannot read " + path + ": it is a folder");
    auto bytes = readWholeFile(path);
    if (!bytes) failWith(env, exitCode, "cannot read " + path);
    return *bytes;
}

void writeOutput(CliEnvironment& env, const std::optional<std::string>& path,
                 std::string_view bytes) {
    if (!path) {
        env.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        env.out.flush();
        return;
    }
    if (!replaceFileAtomically(*path, bytes))
        failWith(env, exitcode::CannotWrite, "cannot write " + *path);
}

int runCommandLine(const std::vector<std::string>& args, CliEnvironment& env) {
    CommandLineRequest req;
    try {
        req = parseCommandLine(args);
    } catch (const UsageError& e) {
        env.err << "tessel: " << e.what() << "\nRun 'tessel --help' for the commands.\n";
        return exitcode::Usage;
    }
    if (req.help) {
        env.out << (req.command.empty() ? usageText() : commandHelp(req.command));
        return 0;
    }
    try {
        return isLightBarCommand(req.command) ? runLightBarCommand(req, env)
                                              : runOfflineCommand(req, env);
    } catch (const CommandFailure& failure) {
        return failure.exitCode;
    }
}

} // namespace tessel
