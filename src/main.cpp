// tessel: with a command word it runs headless (see 'tessel --help'); without one the window
// opens (or, without a display, one line points at the command line).
#include "cli/CliApp.h"
#include "cli/CommandLine.h"
#include "cli/StopSignals.h"
#include "gui/GuiMain.h"
#include "link/UsbAdapters.h"
#include "support/CommandArguments.h"
#include "support/CompanionFiles.h"
#include "support/Console.h"

#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// Without a command word (and without --help) the window opens; its options are those of the
// light bar commands that it understands (--ini, --simulate[=FILE]), and --station PROFILE
// [--auto] for the production station's window.
std::optional<tessel::WindowOptions> windowRequest(const std::vector<std::string>& args,
                                                   const std::string& executable) {
    tessel::CommandLineRequest req;
    try {
        req = tessel::parseCommandLine(args);
    } catch (const tessel::UsageError&) {
        return std::nullopt; // the command line reports it
    }
    if (req.help || req.version || !req.command.empty() || !req.commandGroup.empty())
        return std::nullopt;
    return tessel::WindowOptions{executable, req.iniPath.value_or(""), req.simulate,
                                 req.simulateFile, nullptr, req.station.value_or(""),
                                 req.autoStart};
}
} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = tessel::commandArguments(argc, argv);
    std::string executable = tessel::currentExecutablePath();
    if (executable.empty()) executable = argv[0];
    // The only place the system's USB adapters are made: tests never reach a real one.
    const auto usbAdapters = tessel::makeSystemUsbAdapters();
    if (auto window = windowRequest(args, executable)) {
        window->usbAdapters = usbAdapters.get();
        return tessel::runWindow(argc, argv, *window);
    }
    tessel::prepareConsole(); // first: it may give the program its caller's console
    tessel::CliEnvironment env{std::cout, std::cerr, std::cin,
                               ::isatty(STDOUT_FILENO) != 0, ::isatty(STDERR_FILENO) != 0,
                               ::isatty(STDIN_FILENO) != 0, executable, nullptr,
                               usbAdapters.get()};
    tessel::stopsignals::install();
    const int code = tessel::runCommandLine(args, env);
    // Stopped by SIGTERM or SIGHUP: the job was cancelled and reported; the exit code says why.
    if (const int signal = tessel::stopsignals::stopSignal(); signal != 0) return 128 + signal;
    return code;
}
