#pragma once

#include "block/BlockArea.h"

namespace tessel {

// What the block jobs ask of the main window: it owns the record and its windows, the engine only
// moves block texts. The Qt main window and the command line both use the Qt-free host in app/.
class BlockHost {
public:
    virtual ~BlockHost() = default;

    // Parses a block area into the record (the area holds "~" for withdrawn bytes).
    virtual void parseBlock(const BlockArea& area) = 0;
    // Shows the record in every window and sets the commands that fit its format.
    virtual void loadIntoWindows() = 0;
    // Renders the record into an area; false when its text does not fit (the area then holds no
    // valid block).
    virtual bool renderBlock(BlockArea& area) = 0;
    // Sets the record to the default block of "Init Default VCB" (serial number 1, format 2).
    virtual void resetToDefaultBlock() = 0;
    virtual bool isAdvancedMode() const = 0;
};

} // namespace tessel
