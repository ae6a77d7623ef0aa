#include "support/Utf8File.h"

namespace tessel {

std::FILE* openUtf8File(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

} // namespace tessel
