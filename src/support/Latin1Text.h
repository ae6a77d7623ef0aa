#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// Block texts are Latin-1, one byte a character; the windows and JSON speak UTF-8.
std::string latin1ToUtf8(std::string_view latin1);
// The UTF-8 text in Latin-1; nothing when it is no valid UTF-8 or holds a character above U+00FF.
std::optional<std::string> utf8ToLatin1(std::string_view utf8);

} // namespace tessel
