#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessel {

// std::fopen for a UTF-8 path on every platform (on Windows the narrow fopen would take the
// system's code page instead). Null when the file cannot be opened.
std::FILE* openUtf8File(const std::string& path, const char* mode);

// A UTF-8 path as the path class holds it, and back (on Windows the narrow constructor and
// string() use the system's code page).
std::filesystem::path utf8Path(std::string_view path);
std::string utf8Text(const std::filesystem::path& path);

} // namespace tessel
