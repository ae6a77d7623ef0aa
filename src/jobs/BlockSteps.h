#pragma once

#include "block/BlockArea.h"
#include "jobs/BlockHost.h"
#include "jobs/BlockView.h"
#include "jobs/JobFrame.h"
#include "jobs/RewritePlan.h"

#include <cstddef>

namespace tessel {

// The light bar's block as the jobs see it, and the steps they build from: reading, showing,
// writing and comparing blocks. Each step runs inside a job, only while its result is 0.
//
// The three views live from one job to the next: the light bar's block as found before anything
// was written, the block written or compared with, and the light bar's block read back.
class BlockSteps {
public:
    BlockSteps(JobFrame& frame, BlockHost& host) : frame_(frame), host_(host) {}

    BlockView before;
    BlockView reference;
    BlockView after;

    // Reads the block area from flash into the view, up to a few bytes past the end marker;
    // no block gives 5.
    void readBlockArea(BlockView& view);
    // Moves the view's block to offset 0 without its withdrawn text; no block gives 5.
    void compact(BlockView& view);
    // Shows the area's block, compacted, in the block pane; no block gives 5.
    void showBlock(const BlockArea& area);
    // Writes a plan's pages in its order, each page write carrying only its own bytes (the rest
    // is loaded as 0xFF, which leaves flash as it is). After each page write that reached the
    // chip, or may have, the light bar's state says what it reads as.
    void writePlan(const RewritePlan& plan);
    // Compares the light bar's block with the reference by their values, with the verify lines;
    // false on any difference or failure.
    bool compareBlocks(BlockView& lightBar, BlockView& referenceView);
    // n bytes from l0 and r0; the first difference removes the progress line and shows the
    // "<VCB>" and "< LB>" lines of the line it falls in.
    bool compareBytes(const BlockArea& lightBar, std::size_t l0, const BlockArea& referenceArea,
                      std::size_t r0, std::size_t n);
    // Brings a block text to the form this program renders, through the main window.
    void canonicalize(BlockArea& area);

private:
    // Byte comparison from the titles with the verify lines; false on any difference.
    bool compareTexts(const BlockView& lightBar, const BlockView& referenceView);

    JobFrame& frame_;
    BlockHost& host_;
    BlockView display_; // the block pane's compacted copy
};

// A block is written from its title to its end, plus a zero byte after a format 1 block; all of
// it must lie inside the area, or the write would address flash past 0x1FFFF.
bool fitsInArea(const BlockView& view);

} // namespace tessel
