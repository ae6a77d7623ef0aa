#pragma once

#include "app/IniPortSettings.h"
#include "app/JobHistory.h"
#include "app/Outcome.h"
#include "app/RecordHost.h"
#include "jobs/ChipProgrammer.h"
#include "link/SystemSerial.h"
#include "link/UsbAdapters.h"
#include "sim/EmulatedFt232r.h"
#include "sim/VirtualLightBar.h"
#include "support/AppSettings.h"
#include "support/Clock.h"
#include "support/ProgramServices.h"

#include <memory>
#include <optional>
#include <string>

namespace tessel {

// One run of the program, whichever front end drives it: the program services with the INI
// settings, advanced mode, the record host and the engine on its back end (a real port, or the
// virtual light bar). The command line and the main window each create one, so both start and
// end the program the same way: services, "IniFileIsReadOnly", advanced mode, a reset record,
// "COM Port"; at the end "Program Terminate" and the settings saved, unless the INI is read-only.
class AppSession {
public:
    struct Options {
        std::string executablePath;          // decides where the INI and log files live
        std::string iniPath;                 // the INI file to use instead; the log sits beside it
        std::optional<bool> advancedMode;    // given: overrides the INI's choice
        std::optional<bool> fastLink;        // given: overrides the INI's "FastLink"
        std::optional<int> comPort;          // given: wins over the INI's "COM Port"
        std::optional<std::string> device;   // given: the device of the selected port
        bool simulate = false;               // the virtual light bar instead of a real port
        std::string simulateFile;            // its saved state; empty: a blank light bar
        Clock* portClock = nullptr;          // time of a real port; null: the steady clock
        // The system's USB adapters (the program's main() gives them); null: none can be used.
        // With simulate the emulated FT232R in front of the virtual light bar stands in.
        UsbAdapters* usbAdapters = nullptr;
        // The program as it was started ("tessel", "Tessel.com"); empty: the executable's name.
        std::string programName;
        // The window only: the production station's window instead of the main window
        // (--station PROFILE), its bays started by each new light bar (--auto).
        std::string stationProfile;
        bool autoStart = false;
    };

    // window: the job window the engine reports to; it outlives the session.
    AppSession(Options options, JobWindow& window);
    // Terminates when terminate() has not run yet.
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    ProgramServices& services() { return services_; }
    AppSettings& settings() { return settings_; }
    RecordHost& host() { return host_; }
    ChipProgrammer& engine() { return engine_; }
    // The light bar behind every port when simulating (idle otherwise): tests and demos set it
    // up and look into it.
    VirtualLightBar& virtualLightBar() { return virtualBar_; }
    // The emulated FT232R in front of the virtual light bar (a simulated "ftdi:" port).
    EmulatedFt232r& emulatedAdapter() { return emulatedAdapter_; }
    // The clock of the engine's port: virtual when simulating.
    Clock& portClock() {
        if (options_.simulate) return virtualClock_;
        return options_.portClock ? *options_.portClock : steadyClock_;
    }
    // The adapters a COM port mapped to "ftdi:..." can use (null: none).
    UsbAdapters* usbAdapters() {
        return options_.simulate ? &emulatedAdapter_ : options_.usbAdapters;
    }

    bool iniReadOnly() const { return iniReadOnly_; }
    bool advancedMode() const { return advancedMode_; }
    // A virtual light bar stands behind every port.
    bool simulated() const { return options_.simulate; }
    // The program's name as it is started here ("tessel", "Tessel.exe", "Tessel.com").
    std::string programName() const;
    // An installed copy (in Program Files, /usr, or a folder its user may not write), which
    // keeps its settings in the user's folder; a portable copy keeps them beside itself.
    bool installedCopy() const;
    // What the about window's web site button opens: "WebSite" of [Configuration], else the
    // README.txt installed beside the program; empty when there is neither.
    std::string webSiteAddress();
    // The checked COM port, 1 to 4, or 0 when none is.
    int comPort() const { return comPort_; }
    // The operator checks COM port n (1 to 4): the engine uses it and, unless the INI is
    // read-only, the INI keeps it as "COM Port". Any other n changes nothing.
    void checkComPort(int n);

    // False when the virtual light bar's state file exists but holds no saved light bar; such a
    // file is never overwritten.
    bool simulatedStateReadable() const { return simulatedStateReadable_; }
    // Whether the program can go on as it started: 0, or the exit code with its message (78 for
    // a settings file that exists but cannot be read, whose defaults would stand in silently;
    // 14 for a virtual light bar state file that cannot be read, 65 for one that holds no saved
    // light bar).
    const Outcome& startOutcome() const { return started_; }
    // Replaces the state file with the virtual light bar as it is now; true when there is none
    // to keep (no simulation or no file named).
    bool saveSimulatedState();

    // Logs "Program Terminate", closes the log and saves the settings, once; skipped when the
    // INI file says "IniFileIsReadOnly".
    void terminate();

    // Where the jobs' backups and the job history go: the user's data folder ("BackupPath" for
    // the backups), or for a virtual light bar beside its state file ("bench.state" keeps
    // "bench-backups/" and "bench-history.jsonl"; without a state file a temporary folder that
    // goes with the session), never the user's own.
    const std::string& backupFolder() const { return backupFolder_; }
    const std::string& historyPath() const { return historyPath_; }
    // The file a firmware command is about to run a job with: its digest goes into the record.
    void noteFirmwareFile(const std::string& path, const std::string& sha256);
    // The record of a job that just ended, appended to the history; what the job log should
    // say when it could not be.
    std::optional<std::string> recordJob(const JobSummary& summary);

private:
    static IniStore& startedIni(ProgramServices& services, const Options& options);
    bool decideAdvancedMode() const;
    Outcome loadSimulatedState();
    Outcome checkStart();
    void placeDataFiles();
    std::string portName(int port);
    std::string executablePath() const;

    Options options_;
    ProgramServices services_;
    AppSettings settings_;
    bool iniReadOnly_;
    VirtualClock virtualClock_;
    VirtualLightBar virtualBar_;
    EmulatedFt232r emulatedAdapter_{virtualBar_, virtualClock_};
    std::unique_ptr<SerialLines> systemSerial_ = makeSystemSerial(); // POSIX tty or Win32 port
    SteadyClock steadyClock_;
    IniPortSettings portSettings_;
    bool advancedMode_;
    RecordHost host_;
    ChipProgrammer engine_;
    int comPort_ = 0;
    bool simulatedStateReadable_ = true;
    Outcome started_;
    bool terminated_ = false;
    std::string temporaryFolder_; // made for a virtual light bar without a state file
    std::string backupFolder_;
    std::string historyPath_;
    std::string firmwarePath_, firmwareSha256_;
};

} // namespace tessel
