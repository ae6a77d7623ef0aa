#include "jobs/BlockBackup.h"

#include "jobs/BackupNames.h"
#include "support/AtomicFile.h"
#include "support/SystemError.h"
#include "support/Utf8File.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace tessel {

namespace {

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

    const auto taken = [&ec](const BackupName& name) {
        return fs::exists(utf8Path(name.blockFile()), ec) ||
               fs::exists(utf8Path(name.eepromFile()), ec);
    };
    BackupName name = backupName(folder_, serialNumber, now);
    for (int n = 2; taken(name); ++n)
        name = backupName(folder_, serialNumber, now, n);

    saved.blockFile = name.blockFile();
    if (!replaceFileAtomically(saved.blockFile, bytesOf(area.data(), area.size()))) {
        saved.error = "cannot write " + saved.blockFile;
        return saved;
    }
    if (eeprom) {
        saved.eepromFile = name.eepromFile();
        if (!replaceFileAtomically(saved.eepromFile, bytesOf(eeprom->data(), eeprom->size()))) {
            saved.error = "cannot write " + saved.eepromFile;
            return saved;
        }
    }
    saved.ok = true;
    return saved;
}

} // namespace tessel
