// What keeps a light bar's data when a job is cut short: a backup before every write or erase,
// and a block rewrite that runs to its verified end before a Cancel is honoured.
#include "jobs/ChipProgrammer.h"

#include "jobs/ResultCode.h"

#include <ctime>

namespace tessel {

void ChipProgrammer::backUp(std::int32_t serialNumber, bool beforeErase) {
    if (!ok()) return;
    beginLongStep(" Saving a backup of the Light Bar");
    if (!wholeAreaRead_) readWholeBlockArea();
    if (beforeErase) {
        // The erase clears the EEPROM too (EESAVE is left unprogrammed): the tilt calibration
        // record goes with it.
        runLoop({.to = eepromCopy_.size(), .every = 64, .total = eepromCopy_.size(),
                 .countDone = true},
                [&](std::size_t i) {
                    eepromCopy_[i] = isp_.readDataByte(static_cast<std::uint16_t>(i));
                    return Step::Next;
                });
    }
    window_.setProgress(100);
    if (!ok()) return;
    window_.removeLastLine();

    const BlockBackup::Saved saved =
        backup_.save(serialNumber, lightBarArea_, beforeErase ? &eepromCopy_ : nullptr,
                     std::time(nullptr));
    if (!saved.ok) {
        window_.errorLine(" Cannot save a backup of the Light Bar: " + saved.error);
        window_.errorLine(" Nothing is erased or written");
        fail(result::OutputFileWriteError);
        return;
    }
    backupBlockFile_ = saved.blockFile;
    backupHeldBlock_ = locateBlock(lightBarArea_).present;
    window_.plainLine(" Light Bar VCB area saved to " + saved.blockFile);
    if (!saved.eepromFile.empty())
        window_.plainLine(" Light Bar EEPROM saved to " + saved.eepromFile);
}

void ChipProgrammer::beginRewrite() {
    rewriting_ = true;
    window_.setRewritingBlock(true);
}

void ChipProgrammer::endRewrite() {
    if (!rewriting_) return;
    rewriting_ = false;
    window_.setRewritingBlock(false);
    if (!ok()) blockLost_ = true;
    if (cancelHeld_) fail(result::OperationAborted); // the block is in place now
    cancelHeld_ = false;
}

void ChipProgrammer::lostBlockReport() {
    if (!blockLost_) return;
    window_.errorLine(" The Light Bar holds no valid VCB now");
    if (backupBlockFile_.empty() || !backupHeldBlock_) return;
    window_.errorLine(" Its VCB was saved to " + backupBlockFile_);
    window_.errorLine(" Put it back with: tessel program-vcb " + backupBlockFile_);
    window_.errorLine("   (after: tessel init-vcb, when the Light Bar has no VCB)");
}

} // namespace tessel
