#include "app/FirmwareFile.h"

#include "app/InputFile.h"
#include "firmware/HexReader.h"
#include "support/Sha256.h"

#include <sstream>

namespace tessel {

ResultCode FirmwareFile::code() const {
    switch (problem) {
    case Problem::None: break;
    case Problem::CannotRead: return result::InputFileOpenError;
    case Problem::NotHex:
    case Problem::NoFirmware:
    case Problem::NoEndRecord: return result::HexFileFormatError;
    }
    return result::Ok;
}

Outcome FirmwareFile::outcome() const {
    if (ok()) return {};
    std::string text = std::string(resultMessage(code())) + "\n" + path;
    if (problem == Problem::CannotRead && !reason.empty()) text += "\n" + reason;
    if (const auto w = why()) text += "\nThe file " + *w + ".";
    return {code(), text};
}

std::optional<std::string> FirmwareFile::why() const {
    switch (problem) {
    case Problem::NoFirmware: return "holds no firmware";
    case Problem::NoEndRecord: return "has no end-of-file record: it may be cut short";
    case Problem::None:
    case Problem::CannotRead:
    case Problem::NotHex: break;
    }
    return std::nullopt;
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
    bool complete = false;
    if (readHex(hex, *file.image, &complete) != result::Ok)
        file.problem = FirmwareFile::Problem::NotHex;
    else if (use == FirmwareUse::Job && !file.image->holdsCode())
        file.problem = FirmwareFile::Problem::NoFirmware;
    else if (!complete)
        file.problem = FirmwareFile::Problem::NoEndRecord;
    return file;
}

} // namespace tessel
