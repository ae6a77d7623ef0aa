// What keeps a light bar's data when a job is cut short: a backup before every write or erase,
// and a block rewrite that runs to its verified end before a Cancel is honoured.
#include "jobs/JobFrame.h"

#include "jobs/BlockView.h"

#include <ctime>

namespace tessel {

// The stretch in which the light bar's block is being rewritten: from the erase (or the first
// byte of a write without one) to the end of the new block's verification. A Cancel seen
// meanwhile is held and ends the job as aborted (23) when the stretch ends; a failure inside it
// makes the final report name the backup and how to put it back.
class JobFrame::RewriteStretch {
public:
    explicit RewriteStretch(JobFrame& frame) : frame_(frame) {
        frame_.state_->rewriting = true;
        frame_.state_->serialAfter.reset(); // known again once the block is read back
        frame_.window_.setRewritingBlock(true);
    }
    ~RewriteStretch() {
        JobState& state = *frame_.state_;
        state.rewriting = false;
        frame_.window_.setRewritingBlock(false);
        if (!frame_.ok()) state.blockLost = true;
        if (state.cancelHeld) frame_.fail(result::OperationAborted); // the block is in place now
        state.cancelHeld = false;
    }
    RewriteStretch(const RewriteStretch&) = delete;
    RewriteStretch& operator=(const RewriteStretch&) = delete;

private:
    JobFrame& frame_;
};

void JobFrame::readWholeBlockArea() {
    BlockArea& area = state_->wholeBlockArea;
    runLoop({.to = kBlockAreaSize, .every = 64, .total = kBlockAreaSize, .countDone = true},
            [&](std::size_t i) {
                area[i] =
                    fromFlashByte(isp_.readFlashByte(kBlockAreaBase + static_cast<std::uint32_t>(i)));
                return Next::Byte;
            });
    state_->wholeAreaRead = ok();
}

void JobFrame::backUp(std::int32_t serialNumber, bool beforeErase) {
    beginLongStep(" Saving a backup of the Light Bar");
    if (!state_->wholeAreaRead) readWholeBlockArea();
    auto& eeprom = state_->eeprom;
    if (beforeErase) {
        // The erase clears the EEPROM too (EESAVE is left unprogrammed): the tilt calibration
        // record goes with it.
        runLoop({.to = eeprom.size(), .every = 64, .total = eeprom.size(), .countDone = true},
                [&](std::size_t i) {
                    eeprom[i] = isp_.readDataByte(static_cast<std::uint16_t>(i));
                    return Next::Byte;
                });
    }
    window_.setProgress(100);
    if (!ok()) return;
    window_.removeLastLine();
    state_->backupRead = true;
    state_->backupSerialNumber = serialNumber;
    state_->backupBeforeErase = beforeErase;
}

bool JobFrame::saveBackup() {
    JobState& state = *state_;
    if (!state.backupRead || !ok()) return ok();
    state.backupRead = false;
    const BlockBackup::Saved saved =
        backup_.save(state.backupSerialNumber, state.wholeBlockArea,
                     state.backupBeforeErase ? &state.eeprom : nullptr, std::time(nullptr));
    state.backupBlockFile = saved.blockFile;
    state.backupEepromFile = saved.eepromFile;
    if (!saved.ok) {
        window_.errorLine(" Cannot save a backup of the Light Bar: " + saved.error);
        window_.errorLine(" Nothing is erased or written");
        state.backupBlockFile.clear();
        state.backupEepromFile.clear();
        fail(result::OutputFileWriteError);
        return false;
    }
    state.backupHeldBlock = locateBlock(state.wholeBlockArea).present;
    return true;
}

void JobFrame::logBackup() {
    const JobState& state = *state_;
    if (!state.backupBlockFile.empty())
        window_.plainLine(" Light Bar VCB area saved to " + state.backupBlockFile);
    if (!state.backupEepromFile.empty())
        window_.plainLine(" Light Bar EEPROM saved to " + state.backupEepromFile);
}

void JobFrame::eraseAndRewrite(const std::string& firstLine, const std::string& secondLine,
                               const JobStep& write) {
    window_.plainLine(firstLine);
    if (!secondLine.empty()) window_.plainLine(secondLine);
    window_.setProgress(0);
    window_.progressLine(" Click OK to Continue or Cancel to Exit");
    const bool confirmed = window_.askOkCancel();
    window_.removeLastLine();
    if (!confirmed) {
        fail(result::EraseCancelled);
        return;
    }
    // Saved before the erase; named after its outcome, which takes the erase line's place.
    if (!saveBackup()) return;
    RewriteStretch stretch(*this);
    state_->erased = true;
    isp_.chipErase();
    isp_.waitAfterErase();
    if (ok()) {
        window_.removeLastLine();
        window_.successLine(" Light Bar is Erased");
    }
    logBackup();
    if (!ok()) return; // the report names the failure; the erase line stays as it was
    write();
}

void JobFrame::rewrite(const JobStep& write) {
    if (!saveBackup()) return;
    logBackup();
    RewriteStretch stretch(*this);
    write();
}

void JobFrame::lostBlockReport() {
    const JobState& state = *state_;
    if (!state.blockLost) return;
    window_.errorLine(" The Light Bar holds no valid VCB now");
    if (state.backupBlockFile.empty() || !state.backupHeldBlock) return;
    window_.errorLine(" Its VCB was saved to " + state.backupBlockFile);
    window_.errorLine(" Put it back with: tessel program-vcb " + state.backupBlockFile);
    window_.errorLine("   (after: tessel init-vcb, when the Light Bar has no VCB)");
}

} // namespace tessel
