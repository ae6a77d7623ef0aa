#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The names of the files a job backs up into, e.g. "SN314159-20261208-150830-vcb.bin" (the block
// area) and "SN314159-20261208-150830-eeprom.bin" (the data memory, saved with it): by serial
// number and local time, "-2", "-3" ... after the time when the second's name is taken. A restore
// finds the data memory's file from the block area's name.
inline constexpr std::string_view kBlockBackupSuffix = "-vcb.bin";
inline constexpr std::string_view kEepromBackupSuffix = "-eeprom.bin";

// The file dialogs' filter for the block area backups.
inline constexpr std::string_view kBackupFilesName = "VCB backups";
inline constexpr std::string_view kBackupFilesPattern = "*-vcb.bin";
static_assert(kBackupFilesPattern.substr(1) == kBlockBackupSuffix);

// One backup's files: their common path without the suffix.
struct BackupName {
    std::string stem; // ".../SN314159-20261208-150830" (UTF-8)

    std::string blockFile() const { return stem + std::string(kBlockBackupSuffix); }
    std::string eepromFile() const { return stem + std::string(kEepromBackupSuffix); }
};

// The nth backup of serialNumber made in the second now (local time) in folder (UTF-8).
BackupName backupName(const std::string& folder, std::int32_t serialNumber, std::time_t now,
                      int nth = 1);

// The backup a block area file belongs to; none for a name that is no block area backup's.
std::optional<BackupName> backupOfBlockFile(const std::string& path);

} // namespace tessel
