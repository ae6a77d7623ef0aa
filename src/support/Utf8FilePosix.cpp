#include "support/Utf8File.h"

#include <cerrno>
#include <cstring>

namespace tessel {

std::FILE* openUtf8File(const std::string& path, const char* mode) {
    errno = 0;
    return std::fopen(path.c_str(), mode);
}

std::string openFailure() { return std::strerror(errno != 0 ? errno : EACCES); }

std::string_view systemLineEnd() { return "\n"; }

} // namespace tessel
