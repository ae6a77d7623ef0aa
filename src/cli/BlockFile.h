#pragma once

#include "block/BlockArea.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// A block file for the command line. Exactly 4096 bytes: a block area as the program holds it.
// Shorter: a block text, placed in an erased area at offset 2048 when its "VCB Format" says 1
// (absent or 0), else at offset 0. Longer: refused. error names the reason when nothing is given.
std::optional<BlockArea> blockAreaFromFile(std::string_view bytes, std::string& error);

} // namespace tessel
