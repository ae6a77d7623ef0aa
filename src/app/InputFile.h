#pragma once

#include <string>

namespace tessel {

// A file the operator named for the program to read (a firmware, block or record file).
struct InputFile {
    bool read = false;
    std::string bytes;
    std::string reason; // why it could not be read, in the system's words ("it is a folder")
};

// Reads the whole file; a folder, a missing file or one that cannot be opened or read gives
// read = false and the reason.
InputFile readInputFile(const std::string& path);

} // namespace tessel
