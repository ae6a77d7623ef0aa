#pragma once

#include "block/BlockArea.h"
#include "link/Atmega128.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

namespace tessel {

// The copies a job keeps of what a write or an erase destroys: one set of files per job in the
// backup folder (named as BackupNames.h says): the 4096-byte block area, withdrawn bytes as "~"
// so that the file programs back as a block file, and, before an erase, the 4096 bytes of data
// memory, as read. A name already taken is never reused, so no earlier backup is replaced.
class BlockBackup {
public:
    using Eeprom = std::array<std::uint8_t, atmega128::kEepromBytes>;

    struct Saved {
        bool ok = false;
        std::string blockFile;  // the files written
        std::string eepromFile; // empty when no EEPROM was saved
        std::string error;      // why nothing was saved
    };

    void setFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& folder() const { return folder_; }

    // Creates the folder when needed and writes each file atomically. eeprom may be null.
    Saved save(std::int32_t serialNumber, const BlockArea& area, const Eeprom* eeprom,
               std::time_t now) const;

private:
    std::string folder_;
};

} // namespace tessel
