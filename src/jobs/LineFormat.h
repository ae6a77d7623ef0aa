#pragma once

#include <string>

namespace tessel {

// printf-style formatting into a string of any length. Log lines carry file paths and firmware
// versions of any length, so they are never built in a fixed buffer. Only integer, character
// and string conversions are used with it, which no locale changes.
[[gnu::format(printf, 1, 2)]] std::string formatLine(const char* format, ...);

} // namespace tessel
