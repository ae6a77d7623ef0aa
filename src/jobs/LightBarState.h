#pragma once

#include <string>

namespace tessel {

// What the light bar holds while a job runs, as far as the instructions that reached it tell:
// kept up to date before and after each risky step, so whoever must stop the program at once
// can say what it leaves behind, and the final report can say what a failure left.
struct LightBarState {
    enum class Firmware {
        Unchanged,  // nothing erased
        Erased,     // the erase reached the chip; no code written since
        Incomplete, // code is being written, or was written but not verified
        Complete,   // written and verified
    };
    enum class Block {
        Unchanged, // the block area was not written
        Old,       // a rewrite without an erase is under way; the area still reads as the old block
        New,       // the area reads as the new block, not yet read back
        Mixed,     // the area reads as the new block with old lines still in it
        Verified,  // the new block was read back and verified
        Differs,   // read back, it differs from the block written
        Lost,      // erased, and no complete block written since
    };

    Firmware firmware = Firmware::Unchanged;
    Block block = Block::Unchanged;
    std::string backupBlockFile;  // the block area's backup; empty before it is saved
    std::string backupEepromFile; // the data memory's backup, when one was saved
    bool backupHeldBlock = false; // whether the saved block area holds a block

    bool firmwareNeedsProgramming() const {
        return firmware == Firmware::Erased || firmware == Firmware::Incomplete;
    }
    // The backups as the restore command takes them.
    std::string backupFiles() const {
        return backupEepromFile.empty() ? backupBlockFile : backupBlockFile + " " + backupEepromFile;
    }
};

} // namespace tessel
