// What keeps a light bar's data when a job is cut short: a backup before every write or erase,
// and a block rewrite that runs to its verified end before a Cancel is honoured.
#include "jobs/JobFrame.h"

#include "jobs/BlockView.h"

#include <algorithm>
#include <ctime>

namespace tessel {

// The stretch in which the light bar's block is being rewritten: from the erase (or the first
// byte of a write without one) to the end of the new block's verification. A Cancel seen
// meanwhile is held and honoured at the first abort test after the stretch; a job with none left
// ends as done. A failure inside it makes the final report say what the light bar now holds.
class JobFrame::RewriteStretch {
public:
    explicit RewriteStretch(JobFrame& frame) : frame_(frame) {
        frame_.state_->rewriting = true;
        frame_.state_->rewriteBegun = true;
        frame_.state_->serialAfter.reset(); // known again once the block is read back
        frame_.window_.setRewritingBlock(true);
    }
    ~RewriteStretch() {
        JobState& state = *frame_.state_;
        state.rewriting = false;
        if (frame_.ok()) {
            frame_.noteBlock(LightBarState::Block::Verified);
        } else {
            state.rewriteFailed = true;
            // Read back after writing: a block that is not the one written, or none at all.
            if (frame_.result() == result::VcbVerifyError) frame_.noteBlock(LightBarState::Block::Differs);
            if (frame_.result() == result::NoValidVcb) frame_.noteBlock(LightBarState::Block::Lost);
        }
        frame_.window_.setRewritingBlock(false);
        state.cancelPending = state.cancelHeld;
        state.cancelHeld = false;
    }
    RewriteStretch(const RewriteStretch&) = delete;
    RewriteStretch& operator=(const RewriteStretch&) = delete;

private:
    JobFrame& frame_;
};

void JobFrame::noteBlockAreaRead(const BlockArea& area, std::size_t count) {
    JobState& state = *state_;
    if (state.rewriteBegun || count <= state.blockAreaKnown) return;
    std::copy_n(area.begin(), count, state.wholeBlockArea.begin());
    state.blockAreaKnown = count;
}

void JobFrame::readWholeBlockArea() {
    BlockArea& area = state_->wholeBlockArea;
    const std::size_t from = state_->blockAreaKnown;
    runLoop({.from = from, .to = kBlockAreaSize, .every = 64, .total = kBlockAreaSize - from,
             .countDone = true},
            [&](std::size_t i) {
                area[i] =
                    fromFlashByte(isp_.readFlashByte(kBlockAreaBase + static_cast<std::uint32_t>(i)));
                return Next::Byte;
            });
    if (ok()) state_->blockAreaKnown = kBlockAreaSize;
}

void JobFrame::backUp(std::int32_t serialNumber, bool withEeprom) {
    beginLongStep(" Saving a backup of the Light Bar");
    // The block area as this job read it (the backup reads only what no step read before).
    readWholeBlockArea();
    auto& eeprom = state_->eeprom;
    if (withEeprom) {
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
    state_->backupWithEeprom = withEeprom;
}

bool JobFrame::saveBackup() {
    JobState& state = *state_;
    if (!state.backupRead || !ok()) return ok();
    state.backupRead = false;
    const BlockBackup::Saved saved =
        backup_.save(state.backupSerialNumber, state.wholeBlockArea,
                     state.backupWithEeprom ? &state.eeprom : nullptr, std::time(nullptr));
    if (!saved.ok) {
        window_.errorLine(" Cannot save a backup of the Light Bar: " + saved.error);
        window_.errorLine(" Nothing is erased or written");
        fail(result::OutputFileWriteError);
        return false;
    }
    LightBarState& bar = state.lightBar;
    bar.backupBlockFile = saved.blockFile;
    bar.backupEepromFile = saved.eepromFile;
    bar.backupHeldBlock = locateBlock(state.wholeBlockArea).present;
    lightBarChanged();
    return true;
}

void JobFrame::logBackup() {
    const LightBarState& bar = state_->lightBar;
    if (!bar.backupBlockFile.empty())
        window_.plainLine(" Light Bar VCB area saved to " + bar.backupBlockFile);
    if (!bar.backupEepromFile.empty())
        window_.plainLine(" Light Bar EEPROM saved to " + bar.backupEepromFile);
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
    isp_.chipErase();
    const InstructionTicket erase = isp_.lastChange();
    isp_.waitAfterErase();
    // A line that failed before the instruction's last clock edge left the chip as it was; a
    // transfer that failed with it may have erased it.
    state_->lightBar.erased(isp_.delivery(erase));
    lightBarChanged();
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
    noteBlock(LightBarState::Block::Old);
    write();
}

void JobFrame::noteBlock(LightBarState::Block block) {
    state_->lightBar.block = block;
    state_->lightBar.blockOr.reset();
    lightBarChanged();
}

void JobFrame::noteFirmware(LightBarState::Firmware firmware) {
    state_->lightBar.firmware = firmware;
    state_->lightBar.firmwareOr.reset();
    lightBarChanged();
}

void JobFrame::noteBlockWritten(LightBarState::Block reads, Delivery delivery) {
    state_->lightBar.blockWritten(reads, delivery);
    lightBarChanged();
}

namespace {

// What a failed rewrite left, as the report's line; none after a verified block.
const char* leftBehind(LightBarState::Block block) {
    using Block = LightBarState::Block;
    switch (block) {
    case Block::Unchanged: return " Nothing was erased: the Light Bar is as it was before";
    case Block::Old: return " The Light Bar still holds its old VCB";
    case Block::New: return " The Light Bar holds the new VCB, not verified";
    case Block::Mixed: return " The Light Bar holds the new VCB with old lines still in it";
    case Block::Verified: return nullptr;
    case Block::Differs: return " The Light Bar holds a VCB that differs from the one written";
    case Block::Lost: break;
    }
    return " The Light Bar holds no valid VCB now";
}

} // namespace

void JobFrame::rewriteReport() {
    if (!state_->rewriteFailed) return;
    const LightBarState& bar = state_->lightBar;
    const char* left = leftBehind(bar.block);
    std::string line = left ? left : "";
    // A transfer that failed with a write in it: either state, nothing the chip could contradict.
    if (bar.blockOr)
        line = std::string(" The Light Bar holds ") + blockWords(*bar.blockOr) + " or " +
               blockWords(bar.block);
    if (!line.empty()) window_.errorLine(line);
    if (bar.restoreNeeded()) window_.errorLine(" Its VCB was saved to " + bar.backupBlockFile);
}

} // namespace tessel
