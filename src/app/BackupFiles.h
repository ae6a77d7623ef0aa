#pragma once

#include "app/Outcome.h"
#include "jobs/BlockBackup.h"

#include <string>

namespace tessel {

// Reads an EEPROM backup: exactly the 4096 bytes of the data memory. Otherwise the outcome is 14
// for a file that cannot be read, 65 for one of another size, with the reason.
Outcome readEepromBackup(const std::string& path, BlockBackup::Eeprom& eeprom);

} // namespace tessel
