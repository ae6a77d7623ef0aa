#pragma once

// Shared between the command line's offline and light bar commands.

#include "block/BlockArea.h"
#include "cli/CliApp.h"
#include "cli/CommandLine.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// A failure that ends a command with its exit code after its message went to standard error.
struct CommandFailure {
    int exitCode;
};

// Reads a whole input file; an unreadable file fails with 65 (or the given code).
std::string readInputFile(CliEnvironment& env, const std::string& path,
                          int exitCode = exitcode::BadInput);
// Writes a whole output file atomically, or the bytes to standard output when path is empty;
// a file that cannot be written fails with 74 and leaves nothing half-written.
void writeOutput(CliEnvironment& env, const std::optional<std::string>& path, std::string_view bytes);
// A block area as the bytes of a file.
inline std::string_view areaBytes(const BlockArea& area) {
    return {reinterpret_cast<const char*>(area.data()), area.size()};
}

[[noreturn]] void failWith(CliEnvironment& env, int exitCode, const std::string& message);

int runOfflineCommand(const CommandLineRequest& req, CliEnvironment& env);
int runLightBarCommand(const CommandLineRequest& req, CliEnvironment& env);

} // namespace tessel
