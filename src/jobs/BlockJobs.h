#pragma once

#include "block/BlockArea.h"
#include "jobs/BlockHost.h"
#include "jobs/BlockSteps.h"
#include "jobs/JobFrame.h"

namespace tessel {

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

private:
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
    // Whether the reference can replace the light bar's format 2 block without an erase: as it
    // is, when it only clears bits, or after an in-place update of its text.
    bool canRewriteWithoutErase();
    // Whether the reference can be written over the whole area as read: programming can clear
    // bits but never set them.
    bool needsNoErase() const;
    // Asks before the erase: a No after it would leave the light bar with no block at all.
    void confirmSerialNumberChange();
    // Writes the reference block, reads it back and compares; a difference gives 28.
    void writeAndVerify();

    JobFrame& frame_;
    BlockSteps& blocks_;
    BlockHost& host_;
};

} // namespace tessel
