#pragma once

#include "block/BlockArea.h"
#include "jobs/BlockBackup.h"
#include "jobs/BlockHost.h"
#include "jobs/BlockSteps.h"
#include "jobs/JobFrame.h"
#include "jobs/RewritePlan.h"

#include <optional>
#include <string>

namespace tessel {

// What a job does when the block it writes carries another serial number than the light bar's.
enum class SerialChange {
    Ask,    // asks Yes or No (programming)
    Refuse, // stops with 22 (a restore of a backup from another light bar, unless forced)
    Accept, // says so and goes on (a forced restore)
};

// A backup to put back into a light bar: the block area a job saved before it wrote or erased,
// and the data memory saved with it (may be null).
struct SavedLightBar {
    const BlockArea* blockArea = nullptr;
    const BlockBackup::Eeprom* eeprom = nullptr;
    const std::string* path = nullptr; // the block area's file, named in the log (may be null)
    SerialChange otherSerialNumber = SerialChange::Refuse;
};

// The block jobs: read, verify, program, convert and initialise the light bar's configuration
// block. Each returns its result code.
class BlockJobs {
public:
    BlockJobs(JobFrame& frame, BlockSteps& blocks, BlockHost& host)
        : frame_(frame), blocks_(blocks), host_(host) {}

    // Fills the caller's area with what is read.
    ResultCode readBlock(BlockArea& area);
    ResultCode verifyBlock(const BlockArea& reference);
    ResultCode programBlock(const BlockArea& reference);
    ResultCode convertBlock(int targetFormat);
    ResultCode initDefaultBlock();
    // Puts a saved block area back (erasing first only when it cannot be written over what the
    // light bar holds, a light bar without a block included), then the data memory when given.
    ResultCode restore(const SavedLightBar& saved);

private:
    friend class UnitJob; // a unit is programmed with these jobs' steps
    // A block whose format is neither 1 nor 2 gives 26.
    void checkFormat(const BlockView& view);
    // The light bar's block read into the before view and shown.
    void readAndShowBefore();
    // Takes the caller's block as the reference and reads the light bar's: the reference must
    // have format 1 or 2 and fit the area.
    void readForProgramming(const BlockArea& referenceArea);
    // A block already in the target format gives 27.
    void refuseSameFormat(int targetFormat);
    // The light bar's block, compacted and converted, as the reference in the windows' form.
    void convertToReference(int targetFormat);
    // A light bar that holds a block gives 6; no block is what the init job needs.
    void refuseExistingBlock();
    // The windows' fields reset to the default block and rendered as the reference.
    void renderDefaultBlock();
    // How the reference can replace the light bar's block without an erase: as it is, when it
    // only clears bits, or after an in-place update of its text (format 2 over format 2 only, when
    // the light bar holds a block); in an order that leaves the old or the new block at every
    // moment. Nothing when it takes an erase.
    std::optional<RewritePlan> planWithoutErase();
    // Whether the reference can be written over the whole area as read: programming can clear
    // bits but never set them.
    bool needsNoErase() const;
    // Before the erase: a No after it would leave the light bar with no block at all.
    void confirmSerialNumberChange(SerialChange change);
    // Writes the reference by the plan, or after a confirmed erase without one (whose question
    // says that the firmware goes with it when sayFirmwareGoes).
    void writeReference(const std::optional<RewritePlan>& plan, bool sayFirmwareGoes);
    // Writes the reference block, reads it back and compares; a difference gives 28.
    void writeAndVerify(const RewritePlan& plan);
    // The saved block, compacted, as the reference at its format's place.
    void placeSavedBlock(const BlockArea& saved);
    // Writes the data memory back where it differs, reading each byte written back.
    void restoreDataMemory(const BlockBackup::Eeprom& saved);

    JobFrame& frame_;
    BlockSteps& blocks_;
    BlockHost& host_;
};

} // namespace tessel
