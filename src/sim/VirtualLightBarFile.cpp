#include "sim/VirtualLightBar.h"

#include "support/AtomicFile.h"

#include <algorithm>

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
    std::string bytes(kTag, sizeof kTag);
    bytes.append(reinterpret_cast<const char*>(flash_.data()), flash_.size());
    bytes.append(reinterpret_cast<const char*>(eeprom_.data()), eeprom_.size());
    for (const std::uint8_t b : {signature_[0], signature_[1], signature_[2], fuses_.low,
                                 fuses_.high, fuses_.extended, fuses_.lock})
        bytes.push_back(static_cast<char>(b));
    return replaceFileAtomically(path, bytes);
}

bool VirtualLightBar::load(const std::string& path) {
    const auto read = readWholeFile(path);
    if (!read) return false;
    const std::string& bytes = *read;
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
