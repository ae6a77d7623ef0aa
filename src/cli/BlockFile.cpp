#include "cli/BlockFile.h"

#include "block/BlockText.h"

#include <algorithm>

namespace tessel {

std::optional<BlockArea> blockAreaFromFile(std::string_view bytes, std::string& error) {
    BlockArea area;
    area.fill(0xFF);
    if (bytes.size() > kBlockAreaSize) {
        error = "a block file holds at most 4096 bytes, this one " + std::to_string(bytes.size());
        return std::nullopt;
    }
    if (bytes.size() == kBlockAreaSize) {
        std::copy(bytes.begin(), bytes.end(), area.begin());
        return area;
    }
    // Where the text goes depends on the format it names, which needs it inside an area first.
    std::copy(bytes.begin(), bytes.end(), area.begin());
    if (blockFormatOf(area) != 1) return area;
    if (bytes.size() > kBlockAreaSize - kFormat1Offset) {
        error = "a format 1 block text holds at most 2048 bytes, this one " +
                std::to_string(bytes.size());
        return std::nullopt;
    }
    area.fill(0xFF);
    std::copy(bytes.begin(), bytes.end(), area.begin() + kFormat1Offset);
    return area;
}

} // namespace tessel
