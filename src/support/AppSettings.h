#pragma once

#include "support/IniStore.h"

#include <optional>
#include <cstdint>
#include <string>

namespace tessel {

// The program's own settings in the INI file: each accessor selects its section, then reads or
// writes its key with its default. The store is shared, so nothing is cached here.
class AppSettings {
public:
    static constexpr const char* kConfiguration = "Configuration";
    static constexpr const char* kFileSpecs = "FileSpecs";
    static constexpr const char* kPorts = "Ports";
    static constexpr const char* kFtdi = "FTDI";

    // "Type Control" holding this number switches advanced mode on.
    static constexpr std::int32_t kAdvancedModeCode = 52817364;

    explicit AppSettings(IniStore& store) : store_(store) {}

    // [Configuration], read only by the program.
    bool iniFileIsReadOnly() const;
    std::int32_t typeControl() const;
    std::int32_t advancedOptions() const;
    std::int32_t serialNumber() const;
    // "FastLink": not 0 runs the jobs on the fast link (see link/LinkMode.h).
    bool fastLink() const;
    // "SkipComPort1" to "SkipComPort4": the port counts as absent.
    bool skipComPort(int port) const;
    // "WebSite": the address the about window's web site button opens; empty when not set.
    std::string webSite() const;

    // [Configuration] "COM Port": 1 to 4 is the checked port; any other value, none.
    std::int32_t comPort() const;
    bool setComPort(std::int32_t port);

    // [FileSpecs] "HexPath": the firmware dialog's initial folder.
    std::string hexPath() const;
    bool setHexPath(const std::string& folder);

    // [FileSpecs] "HexFilter": the firmware dialog's filter last chosen, 1 to 3 in the dialog's
    // order; 0 until one is chosen (the dialog's own default then).
    std::int32_t hexFilter() const;
    bool setHexFilter(std::int32_t filter);

    // The per-user data folder, which holds the backups and the job history:
    // $XDG_DATA_HOME/tessel, else ~/.local/share/tessel (%LOCALAPPDATA%\tessel on Windows);
    // empty when no variable names an absolute folder.
    static std::string dataFolder();

    // [FileSpecs] "BackupPath": where the jobs keep a copy of the light bar's block area and
    // EEPROM before they write or erase. Default: "backups" in the data folder; empty when there
    // is none.
    std::string backupFolder() const;

    // [Ports] "COM1" to "COM4": the device behind each COM port, /dev/ttyS0 to /dev/ttyS3 unless
    // the file names another (on Windows "\\.\COMn" unless it names a USB adapter, "ftdi:...").
    // Only a name; nothing here opens it. Empty outside 1 to 4.
    std::string portDevice(int port) const;

    // [FTDI] the FT232R adapter's settings as written ("SckHz", "MOSI", "SCK", "RESET", "MISO");
    // empty when absent. link/Ft232rSettings reads them.
    std::string ftdiSetting(const std::string& key) const;
    // [FTDI] "SckHzThatWorked <device>": the rate an adapter was stepped down to and answered
    // at, so that a later run of the program starts there; none when it was never lowered.
    std::optional<std::uint32_t> sckHzThatWorked(const std::string& device) const;
    bool setSckHzThatWorked(const std::string& device, std::uint32_t hz);

private:
    IniStore& store_;
};

} // namespace tessel
