#pragma once

#include "app/Outcome.h"
#include "firmware/FirmwareImage.h"

#include <memory>
#include <optional>
#include <string>

namespace tessel {

// A firmware (Intel HEX) file read for the window's and the command line's firmware commands.
struct FirmwareFile {
    enum class Problem {
        None,
        CannotRead, // 14, "Input File Open Error": a missing file, a folder, no permission
        NotHex,      // 3, "HEX File Format Error": a bad digit or checksum
        NoFirmware,  // 3, for a job only: not a single byte of code (the job would erase it all)
        NoEndRecord, // 3: no end-of-file record, so the file may have been cut after a record
    };

    std::string path;
    Problem problem = Problem::None;
    std::string reason; // CannotRead: why, in the system's words
    std::string sha256; // of the bytes read, as 64 hex digits (the job history names it)
    // What was read, also up to a format error; null when the file could not be read.
    std::unique_ptr<FirmwareImage> image;

    bool ok() const { return problem == Problem::None; }
    // Ok, or the result code of the problem.
    ResultCode code() const;
    // Ok, or the code with the window's message: the code's text, the whole path and why, one
    // per line.
    Outcome outcome() const;
    // Why a readable file is refused, after the code's text; none for a bad record alone.
    std::optional<std::string> why() const;
};

enum class FirmwareUse { Job, Inspection };

// Reads the file into a new image. For a job an image without code is refused as well.
FirmwareFile loadFirmwareFile(const std::string& path, FirmwareUse use);

} // namespace tessel
