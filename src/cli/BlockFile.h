#pragma once

#include "block/BlockArea.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// A block file for the command line. Exactly 4096 bytes: a block area as the program holds it.
// Shorter: a block text, placed in an erased area at offset 2048 when its "VCB Format" says 1
// (absent or 0), else at offset 0. Longer: refused, with the reason.
struct BlockFileArea {
    BlockArea area{};
    std::optional<std::string> problem; // why the bytes make no area
    bool ok() const { return !problem; }
};
BlockFileArea blockAreaFromFile(std::string_view bytes);

} // namespace tessel
