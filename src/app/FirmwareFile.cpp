#include "app/FirmwareFile.h"

#include "app/InputFile.h"
#include "firmware/HexReader.h"
#include "jobs/ResultCode.h"
#include "support/Sha256.h"

#include <sstream>

namespace tessel {

int FirmwareFile::code() const {
    switch (problem) {
    case Problem::None: break;
    case Problem::CannotRead: return result::InputFileOpenError;
    case Problem::NotHex:
    case Problem::NoFirmware: return result::HexFileFormatError;
    }
    return result::Ok;
}

std::string FirmwareFile::message() const {
    if (ok()) return {};
    std::string text = std::string(resultMessage(code())) + "\n" + path;
    if (problem == Problem::CannotRead && !reason.empty()) text += "\n" + reason;
    if (problem == Problem::NoFirmware) text += "\nThe file holds no firmware.";
    return text;
}

FirmwareFile loadFirmwareFile(const std::string& path, FirmwareUse use) {
    FirmwareFile file;
    file.path = path;
    InputFile input = readInputFile(path);
    if (!input.read) {
        file.problem = FirmwareFile::Problem::CannotRead;
        file.reason = std::move(input.reason);
        return file;
    }
    file.sha256 = sha256Hex(input.bytes);
    file.image = std::make_unique<FirmwareImage>();
    std::istringstream hex(std::move(input.bytes));
    if (readHex(hex, *file.image) != result::Ok)
        file.problem = FirmwareFile::Problem::NotHex;
    else if (use == FirmwareUse::Job && !file.image->holdsCode())
        file.problem = FirmwareFile::Problem::NoFirmware;
    return file;
}

} // namespace tessel
