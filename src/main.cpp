// tessel: with a command word it runs headless (see 'tessel --help'); without one the window
// opens.
#include "cli/CliApp.h"
#include "cli/ConsoleJobWindow.h"
#include "support/CommandArguments.h"
#include "support/CompanionFiles.h"
#include "support/Console.h"

#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args = tessel::commandArguments(argc, argv);
    if (args.empty()) {
        std::cerr << "tessel: this build has no window yet; run 'tessel --help' for the "
                     "command line.\n";
        return 64;
    }
    std::string executable = tessel::currentExecutablePath();
    if (executable.empty()) executable = argv[0];
    tessel::CliEnvironment env{std::cout, std::cerr, std::cin,
                               ::isatty(STDOUT_FILENO) != 0, ::isatty(STDERR_FILENO) != 0,
                               ::isatty(STDIN_FILENO) != 0, executable};
    tessel::prepareConsole();
    tessel::ConsoleJobWindow::installInterruptHandler();
    return tessel::runCommandLine(args, env);
}
