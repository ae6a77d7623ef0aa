#include <algorithm>
#include <fstream>
#include <iterator>

#include "sim/VirtualLightBar.h"

// A saved light bar is one binary file: a tag, the flash, the EEPROM, the signature, and the
// fuse and lock bytes. A file of any other length or tag is refused whole.

namespace tessel {

namespace {

constexpr char kTag[8] = {'T', 'E', 'S', 'S', 'V', 'L', 'B', '1'};
constexpr std::size_t kChipBytes = 3 + 4;
constexpr std::size_t kFileBytes =
    sizeof kTag + VirtualLightBar::kFlashBytes + VirtualLightBar::kEepromBytes + kChipBytes;

} // namespace

bool VirtualLightBar::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(kTag, sizeof kTag);
    out.write(reinterpret_cast<const char*>(flash_.data()), static_cast<std::streamsize>(flash_.size()));
    out.write(reinterpret_cast<const char*>(eeprom_.data()), static_cast<std::streamsize>(eeprom_.size()));
    const char chip[kChipBytes] = {
        static_cast<char>(signature_[0]), static_cast<char>(signature_[1]),
        static_cast<char>(signature_[2]), static_cast<char>(fuses_.low),
        static_cast<char>(fuses_.high),   static_cast<char>(fuses_.extended),
        static_cast<char>(fuses_.lock)};
    out.write(chip, sizeof chip);
    out.close();
    return !out.fail();
}

bool VirtualLightBar::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != kFileBytes || !std::equal(kTag, kTag + sizeof kTag, bytes.begin()))
        return false;
    auto at = bytes.begin() + sizeof kTag;
    std::copy_n(at, kFlashBytes, flash_.begin());
    at += kFlashBytes;
    std::copy_n(at, kEepromBytes, eeprom_.begin());
    at += kEepromBytes;
    auto next = [&at] { return static_cast<std::uint8_t>(*at++); };
    for (auto& s : signature_) s = next();
    fuses_.low = next();
    fuses_.high = next();
    fuses_.extended = next();
    fuses_.lock = next();
    return true;
}

} // namespace tessel
