#include "firmware/FirmwareImage.h"

#include <algorithm>

namespace tessel {

void FirmwareImage::clear() {
    bytes.fill(kErased);
    length = kTail;
}

void FirmwareImage::updateLength() {
    const auto last =
        std::find_if(bytes.rbegin(), bytes.rend(), [](std::uint8_t b) { return b != kErased; });
    if (last == bytes.rend()) {
        length = kTail;
        return;
    }
    const std::size_t highest = static_cast<std::size_t>(bytes.rend() - last) - 1;
    length = std::min(highest + kTail, kSize);
}

bool FirmwareImage::holdsCode() const {
    return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != kErased; });
}

} // namespace tessel
