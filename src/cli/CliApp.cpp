#include "cli/CliApp.h"

#include "cli/CliCommands.h"
#include "support/AtomicFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <cstring>
#include <ostream>

namespace tessel {

[[noreturn]] void failWith(CliEnvironment& env, int exitCode, const std::string& message) {
    env.err << "tessel: " << message << '\n';
    env.err.flush();
    throw CommandFailure{exitCode};
}

std::string readInputFile(CliEnvironment& env, const std::string& path, int exitCode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        failWith(env, exitCode, "cannot read " + path + ": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode)) failWith(env, exitCode, "cannot read " + path + ": it is a folder");
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
