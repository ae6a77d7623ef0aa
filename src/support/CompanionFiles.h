#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Where the program's INI and log files live: beside the executable, named after it.
struct CompanionFiles {
    std::string basePath; // the companion files' path without their extension
    std::string iniPath;  // basePath + ".INI", or the path given with --ini
    std::string logPath;  // basePath + ".LOG"

    // From the executable's path: a name with a four-character extension ("Tessel.exe") loses it;
    // a name without one ("tessel") is kept whole, so its files are tessel.INI and tessel.LOG.
    static CompanionFiles forExecutable(std::string_view executablePath);
    // From an INI path given on the command line: the log sits beside it, its extension ".LOG".
    static CompanionFiles forIniFile(std::string_view iniPath);
};

// The running program's own path as the system reports it; empty when it cannot be found.
std::string currentExecutablePath();

} // namespace tessel
