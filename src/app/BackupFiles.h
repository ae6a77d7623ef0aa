#pragma once

#include "app/Outcome.h"
#include "jobs/BlockBackup.h"

#include <string>

namespace tessel {

// The files of a backup a job saved ("SN314159-20261208-150830-vcb.bin" and the
// "...-eeprom.bin" saved with it), as a restore takes them back.

// The data memory file saved with a block area file: "...-eeprom.bin" for "...-vcb.bin"; empty
// for a name that is no backup's.
std::string eepromFileBeside(const std::string& blockAreaFile);

// Reads an EEPROM backup: exactly the 4096 bytes of the data memory. Otherwise the outcome is 65
// with the reason.
Outcome readEepromBackup(const std::string& path, BlockBackup::Eeprom& eeprom);

} // namespace tessel
