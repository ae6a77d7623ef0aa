#pragma once

#include <string>
#include <system_error>

namespace tessel {

// Why a call failed, in the system's own words and as UTF-8. On Windows an error of the system
// category is a Win32 error code, whose text only FormatMessageW gives in every language (the C
// library's would read it as an errno value).
std::string systemErrorText(const std::error_code& error);

} // namespace tessel
