#pragma once

#include "app/Outcome.h"
#include "jobs/BlockBackup.h"

#include <optional>
#include <string>

namespace tessel {

// The files of a backup a job saved ("SN314159-20261208-150830-vcb.bin" and the
// "...-eeprom.bin" saved with it), as a restore takes them back.

// The data memory file saved with a block area file: "...-eeprom.bin" for "...-vcb.bin"; none
// for a name that is no backup's.
std::optional<std::string> eepromFileBeside(const std::string& blockAreaFile);

// Reads an EEPROM backup: exactly the 4096 bytes of the data memory. Otherwise the outcome is 14
// for a file that cannot be read, 65 for one of another size, with the reason.
Outcome readEepromBackup(const std::string& path, BlockBackup::Eeprom& eeprom);

} // namespace tessel
