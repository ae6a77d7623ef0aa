#include "cli/BlockFile.h"

#include "block/BlockText.h"

#include <algorithm>

namespace tessel {

BlockFileArea blockAreaFromFile(std::string_view bytes) {
    BlockFileArea file;
    BlockArea& area = file.area;
    area.fill(0xFF);
    if (bytes.size() > kBlockAreaSize) {
        file.problem = "a block file holds at most " + std::to_string(kBlockAreaSize) +
                       " bytes, this one " + std::to_string(bytes.size());
        return file;
    }
    // Where a shorter text goes depends on the format it names, which needs it inside an area
    // first.
    std::copy(bytes.begin(), bytes.end(), area.begin());
    if (bytes.size() == kBlockAreaSize || blockFormatOf(area) != 1) return file;
    if (bytes.size() > kBlockAreaSize - kFormat1Offset) {
        file.problem = "a format 1 block text holds at most 2048 bytes, this one " +
                       std::to_string(bytes.size());
        return file;
    }
    area.fill(0xFF);
    std::copy(bytes.begin(), bytes.end(), area.begin() + kFormat1Offset);
    return file;
}

} // namespace tessel
