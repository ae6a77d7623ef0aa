#include "support/Utf8File.h"

#include "support/Win32Text.h"

namespace tessel {

std::FILE* openUtf8File(const std::string& path, const char* mode) {
    return _wfopen(wideFromUtf8(path).c_str(), wideFromUtf8(mode).c_str());
}

} // namespace tessel
