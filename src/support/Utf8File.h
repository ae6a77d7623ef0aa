#pragma once

#include <cstdio>
#include <string>

namespace tessel {

// std::fopen for a UTF-8 path on every platform (on Windows the narrow fopen would take the
// system's code page instead). Null when the file cannot be opened.
std::FILE* openUtf8File(const std::string& path, const char* mode);

} // namespace tessel
