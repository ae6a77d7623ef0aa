#pragma once

#include "link/IspLink.h"

#include <optional>
#include <string>
#include <vector>

namespace tessel {

// What the light bar holds while a job runs, as far as the instructions that reached it tell:
// kept up to date before and after each risky step, so whoever must stop the program at once
// can say what it leaves behind, and the final report can say what a failure left. A change
// whose instruction went out in a transfer that failed part-way leaves either state: the "or"
// members then hold the state before it.
struct LightBarState {
    enum class Firmware {
        Unchanged,  // nothing erased
        Erased,     // the erase reached the chip; no code written since
        Incomplete, // code is being written, or was written and read back different
        Programmed, // written in full; its verify did not finish
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
    std::optional<Firmware> firmwareOr; // or the firmware is still as this says
    std::optional<Block> blockOr;       // or the block area still reads as this says
    std::string backupBlockFile;  // the block area's backup; empty before it is saved
    std::string backupEepromFile; // the data memory's backup, when one was saved
    bool backupHeldBlock = false; // whether the saved block area holds a block

    // A write that makes the area read as `reads` once it reached the chip, as far as it did.
    void blockWritten(Block reads, Delivery delivery) {
        if (delivery == Delivery::NotSent) return;
        blockOr =
            delivery == Delivery::Maybe && reads != block ? std::optional(block) : std::nullopt;
        block = reads;
    }
    // The chip erase, as far as it reached the chip: the firmware and the block go with it.
    void erased(Delivery delivery) {
        if (delivery == Delivery::NotSent) return;
        firmwareOr = delivery == Delivery::Maybe ? std::optional(firmware) : std::nullopt;
        firmware = Firmware::Erased;
        blockWritten(Block::Lost, delivery);
    }

    bool firmwareNeedsProgramming() const {
        return firmware == Firmware::Erased || firmware == Firmware::Incomplete;
    }
    // Whether the block the light bar held before the job may be gone.
    bool oldBlockMayBeLost() const {
        return blockOr || block == Block::Lost || block == Block::Differs || block == Block::Mixed;
    }
    // Whether the backup should be put back: it holds a block the light bar may have lost.
    bool restoreNeeded() const {
        return oldBlockMayBeLost() && backupHeldBlock && !backupBlockFile.empty();
    }
    // The backup files saved, the block area's first.
    std::vector<std::string> backupFiles() const {
        std::vector<std::string> files;
        for (const std::string* file : {&backupBlockFile, &backupEepromFile})
            if (!file->empty()) files.push_back(*file);
        return files;
    }
};

// What the block area reads as, in a few words ("its old VCB", "no valid VCB"): for a report
// that names the two states a failed transfer leaves.
const char* blockWords(LightBarState::Block block);

} // namespace tessel
