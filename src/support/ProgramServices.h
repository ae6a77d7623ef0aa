#pragma once

#include "support/CompanionFiles.h"
#include "support/IniStore.h"
#include "support/LogTime.h"
#include "support/UnitsSettings.h"
#include "support/VersionInfo.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The services' own keys in the INI section "ProgramServices".
struct ServiceSettings {
    bool logMessages = false;
    bool appendLog = false;
    bool timeStampMessages = false;
    bool debug = false;                // kept and written back only
    std::int32_t reportErrorLevel = 3; // kept and written back only

    bool operator==(const ServiceSettings&) const = default;
};

// The program's companion files, version texts, INI store and log file. The main window and the
// command line each start one; tests make as many as they like.
class ProgramServices {
public:
    static constexpr const char* kSection = "ProgramServices";

    struct Options {
        LocalTimeSource localTime = systemLocalTime;
        IniStore::FileWriter iniWriter = IniStore::defaultWriter();
        std::optional<VersionResource> version = VersionInfo::builtIn();
    };

    // Created: nothing is read or written yet.
    ProgramServices();
    explicit ProgramServices(Options options);
    ~ProgramServices();
    ProgramServices(const ProgramServices&) = delete;
    ProgramServices& operator=(const ProgramServices&) = delete;

    // Finds the companion files (beside the executable, in the user's settings folder when the
    // program may not write there, or from --ini when iniOverride is not empty), prepares the
    // user's folder, reads the version texts, opens the INI store, loads the settings, opens the log
    // when asked to and logs the start line.
    void start(std::string_view executablePath, std::string_view iniOverride = {});
    // Logs "Program Terminate", closes the log and saves the settings. The caller skips it when
    // the INI file says "IniFileIsReadOnly".
    void terminate();

    // One line to the log file (flushed at once), time-stamped when asked to.
    void log(std::string_view message);

    void loadSettings();
    // Writes a key only when the file lacks it or the program changed it since start, so an
    // edit made in the file while the program ran is not undone.
    void saveSettings();

    bool started() const { return ini_ != nullptr; }
    const std::string& basePath() const { return files_.basePath; }
    const CompanionFiles& files() const { return files_; }
    const VersionInfo& versionInfo() const { return version_; }
    // The INI store; exists from start on.
    IniStore& ini();
    ServiceSettings& settings() { return settings_; }
    UnitsSettings& units() { return units_; }
    bool logFileOpen() const { return logFile_ != nullptr; }
    // product name + "   Version: " + file version
    std::string startLine() const;

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    void openLogFile();

    Options options_;
    CompanionFiles files_{"Unknown", "Unknown.INI", "Unknown.LOG", false, {}};
    VersionInfo version_;
    std::unique_ptr<IniStore> ini_;
    ServiceSettings settings_;
    ServiceSettings settingsAtStart_;
    UnitsSettings units_;
    UnitsSettings unitsAtStart_;
    std::unique_ptr<std::FILE, FileCloser> logFile_;
};

} // namespace tessel
