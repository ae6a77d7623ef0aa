#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Where the program's INI and log files live: beside the executable, named after it, unless the
// program may not write there (an installed copy), then in the user's own settings folder.
struct CompanionFiles {
    std::string basePath; // the companion files' path without their extension
    std::string iniPath;  // basePath + ".INI", or the path given with --ini
    std::string logPath;  // basePath + ".LOG"
    bool inUserFolder = false; // in the user's settings folder, made when it is missing
    std::string seedPath;      // an INI a new iniPath starts as a copy of; empty: none

    // From the executable's path: a name with a four-character extension ("Tessel.exe") loses it;
    // a name without one ("tessel") is kept whole, so its files are tessel.INI and tessel.LOG.
    static CompanionFiles forExecutable(std::string_view executablePath);
    // From an INI path given on the command line: the log sits beside it, its extension ".LOG".
    static CompanionFiles forIniFile(std::string_view iniPath);
    // The files this run uses: the INI given with --ini (iniOverride) when there is one; else
    // those beside the executable when the program may write there; else those in the user's
    // settings folder, seeded from the INI beside the executable when that one exists.
    static CompanionFiles forProgram(std::string_view executablePath, std::string_view iniOverride);

    // In the user's folder: makes the folder, and copies the seed to iniPath when iniPath does not
    // exist yet. A failure is left for the first write to find, which then fails quietly.
    void prepareUserFolder() const;
};

// The running program's own path as the system reports it; empty when it cannot be found.
std::string currentExecutablePath();

// An environment variable that names an absolute folder (as UTF-8), or empty.
std::string environmentFolder(const char* variable);

// Whether a folder is where the system keeps installed programs (/usr, C:\Program Files), whose
// files no program run by a user should change, whatever its permissions.
bool isInstalledProgramFolder(const std::string& folder);

// Whether this process may write the file (change it in place) or the folder (add files to it),
// as the permissions say; nothing is created to find out. A missing path may not be written.
bool mayWrite(const std::string& path);

// The user's Documents folder (Windows); empty where the system names none for a file dialog
// to start in (POSIX: the folder the program was started in serves).
std::string userDocumentsFolder();

// The user's own settings folder and file name without extension
// ($XDG_CONFIG_HOME/tessel/tessel, %APPDATA%\Tessel\Tessel); empty when the system names none.
std::string userCompanionBase();

// The user's own data folder: $XDG_DATA_HOME/tessel, else on Windows %LOCALAPPDATA%\tessel, else
// ~/.local/share/tessel; empty when no variable names an absolute folder.
std::string userDataFolder();

} // namespace tessel
