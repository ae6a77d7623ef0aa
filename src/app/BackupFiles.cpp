#include "app/BackupFiles.h"

#include "app/InputFile.h"

#include <algorithm>

namespace tessel {

Outcome readEepromBackup(const std::string& path, BlockBackup::Eeprom& eeprom) {
    const InputFile file = readInputFile(path);
    if (!file.read) return {result::InputFileOpenError, "cannot read " + path + ": " + file.reason};
    if (file.bytes.size() != eeprom.size())
        return {result::BadInput, path + ": an EEPROM backup holds " +
                                      std::to_string(eeprom.size()) + " bytes, this file holds " +
                                      std::to_string(file.bytes.size())};
    std::copy(file.bytes.begin(), file.bytes.end(), eeprom.begin());
    return {};
}

} // namespace tessel
