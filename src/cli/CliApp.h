#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tessel {

class Clock;
class UsbAdapters;

// Where the command line reads and writes, and what it knows of its surroundings. main() fills
// it from the process; tests give string streams.
struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool outIsTerminal = false;
    // A terminal that shows the job log's colour and cursor sequences (a Windows console without
    // virtual-terminal processing gets the plain lines a pipe gets).
    bool errIsTerminal = false;
    bool inIsTerminal = false;
    std::string executablePath; // decides where the INI and log files live
    Clock* portClock = nullptr; // time of a real port; null: the steady clock
    UsbAdapters* usbAdapters = nullptr; // the system's USB adapters; null: none (tests)
    std::string programName = "tessel"; // as it was started: the hints' commands name it
};

// Runs one command line (argv without the program name) headless and returns the exit code: the
// job's result code, or 64 (usage), 65 (bad input file), 74 (output not written). Standard
// output gets only the command's data; the job log and every message go to standard error.
// An empty command is not handled here: the caller opens the window.
int runCommandLine(const std::vector<std::string>& args, CliEnvironment& env);

} // namespace tessel
