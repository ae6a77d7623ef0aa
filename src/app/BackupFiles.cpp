#include "app/BackupFiles.h"

#include "app/InputFile.h"

#include <algorithm>

namespace tessel {

namespace {
constexpr std::string_view kBlockSuffix = "-vcb.bin";
} // namespace

std::optional<std::string> eepromFileBeside(const std::string& blockAreaFile) {
    if (!blockAreaFile.ends_with(kBlockSuffix)) return std::nullopt;
    return blockAreaFile.substr(0, blockAreaFile.size() - kBlockSuffix.size()) + "-eeprom.bin";
}

Outcome readEepromBackup(const std::string& path, BlockBackup::Eeprom& eeprom) {
    const InputFile file = readInputFile(path);
    if (!file.read) return {result::InputFileOpenError, "cannot read " + path + ": " + file.reason};
    if (file.bytes.size() != eeprom.size())
        return {result::BadInput, path + ": an EEPROM backup holds 4096 bytes, this file holds " +
                                      std::to_string(file.bytes.size())};
    std::copy(file.bytes.begin(), file.bytes.end(), eeprom.begin());
    return {};
}

} // namespace tessel
