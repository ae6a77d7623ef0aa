#include "jobs/BlockBackup.h"

#include "support/AtomicFile.h"
#include "support/CalendarTime.h"
#include "support/SystemError.h"
#include "support/Utf8File.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace tessel {

namespace {

std::string stemFor(std::int32_t serialNumber, std::time_t now) {
    const std::tm local = localCalendar(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return "SN" + std::to_string(serialNumber) + "-" + stamp;
}

std::string_view bytesOf(const std::uint8_t* data, std::size_t n) {
    return {reinterpret_cast<const char*>(data), n};
}

} // namespace

BlockBackup::Saved BlockBackup::save(std::int32_t serialNumber, const BlockArea& area,
                                     const Eeprom* eeprom, std::time_t now) const {
    namespace fs = std::filesystem;
    Saved saved;
    if (folder_.empty()) {
        saved.error = "no backup folder is set";
        return saved;
    }
    // Paths are UTF-8 here and reach the system only through the path class's UTF-8 form.
    const fs::path folder = utf8Path(folder_);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        saved.error = "cannot create " + folder_ + ": " + systemErrorText(ec);
        return saved;
    }

    const std::string stem = utf8Text(folder / stemFor(serialNumber, now));
    const auto taken = [&ec](const std::string& base) {
        return fs::exists(utf8Path(base + "-vcb.bin"), ec) ||
               fs::exists(utf8Path(base + "-eeprom.bin"), ec);
    };
    std::string base = stem;
    for (int n = 2; taken(base); ++n)
        base = stem + "-" + std::to_string(n);

    saved.blockFile = base + "-vcb.bin";
    if (!replaceFileAtomically(saved.blockFile, bytesOf(area.data(), area.size()))) {
        saved.error = "cannot write " + saved.blockFile;
        return saved;
    }
    if (eeprom) {
        saved.eepromFile = base + "-eeprom.bin";
        if (!replaceFileAtomically(saved.eepromFile, bytesOf(eeprom->data(), eeprom->size()))) {
            saved.error = "cannot write " + saved.eepromFile;
            return saved;
        }
    }
    saved.ok = true;
    return saved;
}

} // namespace tessel
