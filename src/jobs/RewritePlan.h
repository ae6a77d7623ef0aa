#pragma once

#include "block/BlockArea.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace tessel {

// The order in which the page writes of a block rewrite reach the light bar, chosen so that after
// every one of them a reader finds the old block or the new one.
//
// A rewrite without an erase can only clear bits. Its new text goes first where no reader looks
// (after the old end marker); then a single page write withdraws the old end marker together
// with whatever else stands in that page, so the reader runs on into the new lines; the old lines
// withdrawn after it are outranked by the new lines after them. An old line for a field the new
// block no longer writes still shows after the switch unless it stands in the end marker's page:
// such an update reads as a mix for the few page writes until that line is withdrawn. It is
// still made in place (an erase would take the firmware with it), and a failure in that stretch
// is reported as the mix it leaves. Every state is checked the way this program reads a block
// (located, parsed and rendered again, as a verify compares), so no order is taken on faith.
struct RewritePlan {
    enum class Reading {
        Old,   // the area still reads as the block it held
        New,   // the area reads as the new block
        Mixed, // the new block with old lines still in it
    };
    struct PageWrite {
        std::vector<std::size_t> offsets; // area offsets within one flash page, increasing
        Reading reads = Reading::Old;     // what the area reads as once this write is made
    };

    BlockArea target{}; // the flash bytes at the end, withdrawn characters as 0x00
    std::vector<PageWrite> writes;
    bool oldPresent = false; // whether the area held a block before (else it read as none)

    // No state on the way reads as a mix.
    bool clean() const {
        for (const PageWrite& write : writes)
            if (write.reads == Reading::Mixed) return false;
        return true;
    }
};

// Plans writing the block of `wanted` (its located block, plus the zero byte after a format 1
// block) over `stored`, the light bar's whole block area as read; both hold "~" for withdrawn
// bytes. Nothing when a byte would need a bit set (only an erase can do that). Of the orders that
// switch at one page, the first that never reads as a mix; else the one that switches at the
// old end marker's page.
std::optional<RewritePlan> planRewrite(const BlockArea& stored, const BlockArea& wanted);

// The same over an erased area: the block's pages in address order (it appears whole when the
// page with its end marker is written).
RewritePlan planWriteAfterErase(const BlockArea& wanted);

} // namespace tessel
