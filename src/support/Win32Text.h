#pragma once

#include <string>
#include <string_view>

namespace tessel {

// The program's texts and paths are UTF-8; the wide Win32 calls take UTF-16. Only the Windows
// build uses these. An invalid sequence becomes U+FFFD rather than cutting the text short.
std::wstring wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(std::wstring_view wide);
// The system's own text for a Win32 error code, in the user's language ("Access is denied."),
// without its line end; "error N" when the system has none.
std::string systemMessage(unsigned long code);

} // namespace tessel
