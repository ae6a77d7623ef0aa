#pragma once

#include "app/AppSession.h"
#include "cli/CliEnvironment.h"
#include "cli/CommandLine.h"
#include "support/ResultCode.h"

#include <optional>
#include <string>
#include <vector>

namespace tessel {

// Runs one command line (argv without the program name) headless and returns the exit code: the
// job's result code, or one of the command line's own (ResultCode.h). Standard output gets only
// the command's data; the job log and every message go to standard error. An empty command is
// not handled here: the caller opens the window.
ResultCode runCommandLine(const std::vector<std::string>& args, CliEnvironment& env);

// The request when the command line opens the window: no command word, no --help or --version
// (a command line that does not parse is the command line's to report).
std::optional<CommandLineRequest> windowRequest(const std::vector<std::string>& args);

// The session a request opens, a light bar command's or the window's: what the command line
// gives overrides the settings file.
AppSession::Options sessionOptions(const CommandLineRequest& req, const CliEnvironment& env);

} // namespace tessel
