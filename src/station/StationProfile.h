#pragma once

#include "support/ResultCode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// A production station: what every unit gets (firmware, block template, a serial number from
// the station's range) and the bays units are programmed in. Kept as an INI-style text file
// ("line3.station") that people may read and edit; file names in it are relative to its folder
// unless absolute.
struct StationProfile {
    std::string firmwareFile{};
    std::string firmwareSha256{}; // the file as the profile was written; a changed file is refused
    std::string templateFile{};   // a record JSON file or a block file
    std::int32_t first = 0;       // the serial numbers first..last belong to this station
    std::int32_t last = 0;
    bool acquireTilt = false; // the tilt calibration record from the unit's EEPROM into its block
    bool keepSerial = false;  // a unit that holds a valid block keeps its serial number (rework)
    std::vector<std::string> bays{}; // each a port: COM1 to COM4, a device path, or ftdi:SERIAL

    std::int64_t rangeSize() const { return std::int64_t{last} - first + 1; }
};

inline constexpr std::size_t kMaxBays = 16;

// "100-199" as first and last; nothing unless 1 <= first <= last < 2^31.
std::optional<std::pair<std::int32_t, std::int32_t>> parseSerialRange(std::string_view text);

// The profile's text; and back, with the reason when it holds no complete profile.
std::string profileText(const StationProfile& profile);
struct ProfileRead {
    StationProfile profile;
    std::optional<std::string> problem{}; // why it holds no profile; none: read
    bool unreadable = false;              // the file itself could not be read
    bool ok() const { return !problem; }
    // What a profile that does not read ends with: 14 as any input file that cannot be read,
    // 65 for one that holds no profile.
    ResultCode code() const {
        return ok() ? result::Ok : unreadable ? result::InputFileOpenError : result::BadInput;
    }
};
ProfileRead parseProfile(std::string_view text);
// Reads a profile file (its problem names the file).
ProfileRead readProfile(const std::string& path);
// Writes a profile file atomically; false when it could not be written.
bool writeProfile(const std::string& path, const StationProfile& profile);

// A file named in a profile as a path: relative names are taken from the profile's folder.
std::string profileRelative(const std::string& profilePath, const std::string& file);
// How a profile names a file: relative to the profile's folder when it lies in or below it,
// else its absolute path.
std::string nameInProfile(const std::string& profilePath, const std::string& file);

// Where the station keeps its serial-number ledger: beside the profile, named after it
// ("line3.station": "line3.ledger"), or in the simulation folder when one is given, so that a
// simulated run never spends the station's real numbers.
std::string ledgerPath(const std::string& profilePath, const std::string& simulationFolder = {});

// A bay's port as the program opens it: COM1 to COM4 by number, anything else as the device
// of COM1.
struct BayPort {
    int comPort = 1;
    std::optional<std::string> device{};
};
BayPort bayPort(const std::string& port);

} // namespace tessel
