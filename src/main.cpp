// tessel: with a command word it runs headless (see 'tessel --help'); without one the window
// opens (or, without a display, one line points at the command line).
#include "WindowEntry.h"
#include "app/Instructions.h"
#include "cli/CliApp.h"
#include "cli/StopSignals.h"
#include "link/UsbAdapters.h"
#include "support/CommandArguments.h"
#include "support/CompanionFiles.h"
#include "support/Console.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace tessel;
    const std::vector<std::string> args = commandArguments(argc, argv);
    std::string executable = currentExecutablePath();
    if (executable.empty()) executable = argv[0];
    // The only place the system's USB adapters are made: tests never reach a real one.
    const auto usbAdapters = makeSystemUsbAdapters();
    CliEnvironment env{.out = std::cout,
                       .err = std::cerr,
                       .in = std::cin,
                       .outIsTerminal = false, // known once the console is ready
                       .errIsTerminal = false,
                       .inIsTerminal = false,
                       .executablePath = executable,
                       .portClock = nullptr,
                       .usbAdapters = usbAdapters.get()};
    // The hints name the program as it was started ("tessel" from the PATH, "Tessel.com").
    if (const std::string name = commandName(argc, argv); !name.empty())
        env.programName = programNameOf(name);
    if (const auto window = windowRequest(args))
        return runWindow(argc, argv, sessionOptions(*window, env));

    // First: it may give the program its caller's console. Standard error counts as a terminal
    // only where it shows the log's colour and cursor sequences.
    env.errIsTerminal = prepareConsole();
    env.outIsTerminal = isTerminal(StandardStream::Output);
    env.inIsTerminal = isTerminal(StandardStream::Input);
    stopsignals::install();
    const ResultCode code = runCommandLine(args, env);
    // Stopped by SIGTERM or SIGHUP: the job was cancelled and reported; the exit code says why.
    if (const int signal = stopsignals::stopSignal(); signal != 0) return stoppedBy(signal);
    return code;
}
