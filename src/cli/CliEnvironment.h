#pragma once

#include <iosfwd>
#include <string>

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
    std::string executablePath;         // decides where the INI and log files live
    Clock* portClock = nullptr;         // time of a real port; null: the steady clock
    UsbAdapters* usbAdapters = nullptr; // the system's USB adapters; null: none (tests)
    std::string programName = "tessel"; // as it was started: the hints' commands name it
};

} // namespace tessel
