#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessel {

// std::fopen for a UTF-8 path on every platform (on Windows the narrow fopen would take the
// system's code page instead). Null when the file cannot be opened.
std::FILE* openUtf8File(const std::string& path, const char* mode);
// Why openUtf8File just failed, in the operator's words: the C library's text for errno ("No such
// file or directory"), or, on Windows, "it is in use by another program" for a file another
// program holds open without sharing it.
std::string openFailure();

// The line end of the text files people edit here: CR LF on Windows (its profile files, Notepad),
// LF elsewhere.
std::string_view systemLineEnd();

// A UTF-8 path as the path class holds it, and back (on Windows the narrow constructor and
// string() use the system's code page).
std::filesystem::path utf8Path(std::string_view path);
std::string utf8Text(const std::filesystem::path& path);

} // namespace tessel
